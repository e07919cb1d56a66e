#include "engine/table_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/database_folder.h"

namespace ledgerix {
namespace {

// Reads fill a window of about this many bytes of whole slots with one call, so that walking a
// table does not cost a system call per row.
constexpr uint32_t kWindowTargetBytes = 64 * 1024;
// The catalog stores column counts in 16 bits.
constexpr int32_t kMaxColumns = 65535;

int32_t SlotSizeFor(int32_t column_count) {
  return column_count > 0 && column_count <= kMaxColumns ? column_count * kSlotBytesPerColumn : 0;
}

}  // namespace

TableFile::TableFile(platform::Env& env, const DbString& table_name, int32_t column_count,
                     TableWriteGenerations* generations, std::shared_ptr<TableJournal> journal)
    : env_(env),
      table_name_(table_name),
      path_(DatabaseFilePath(env, table_name, kTableFileExtension)),
      primary_(env),
      look_ahead_(env),
      column_count_(column_count),
      slot_size_(SlotSizeFor(column_count)),
      journal_(std::move(journal)),
      generation_(generations != nullptr ? generations->CounterFor(path_)
                                         : std::make_shared<uint64_t>(0)),
      seen_generation_(*generation_) {}

TableFile::~TableFile() { EndDeferred(); }

// ---- Streams ----

int TableFile::OpenStreams() {
  if (OpenBoth()) return 1;
  {
    DbFile create(env_, path_, kAccessReadWrite, platform::kDispositionOpenAlways, kShareExclusive);
  }
  return OpenBoth() ? 1 : 0;
}

bool TableFile::OpenBoth() {
  CloseStreams();
  if (primary_.Open(path_, kAccessReadWrite, platform::kDispositionOpenExisting, kShareReadWrite) &&
      look_ahead_.Open(path_, kAccessReadWrite, platform::kDispositionOpenExisting,
                       kShareReadWrite)) {
    return true;
  }
  CloseStreams();
  return false;
}

void TableFile::CloseStreams() {
  EndDeferred();
  if (primary_.IsOpen()) primary_.Close();
  if (look_ahead_.IsOpen()) look_ahead_.Close();
  DropCache();
}

bool TableFile::SeekTo(DbFile& stream, int64_t offset) {
  stream.ClearError();
  const uint32_t position = stream.Seek(0, offset);
  return stream.LastError() == DbFileError::kNone && position == offset;
}

bool TableFile::ReadExactly(DbFile& stream, uint32_t n, std::string* out) {
  const size_t kept = out->size();
  DbString chunk;
  while (n > 0) {
    const uint32_t got = stream.Read(chunk, n);
    if (got == 0) {  // the end of the file came early, or the read failed
      out->resize(kept);
      return false;
    }
    out->append(chunk.View());
    n -= got;
  }
  return true;
}

bool TableFile::WriteAll(std::string_view bytes) {
  if (bytes.empty()) return true;
  if (bytes.size() > UINT32_MAX) return false;
  const auto n = static_cast<uint32_t>(bytes.size());
  // A short count means the disk is full: the rest would fail too.
  return primary_.WriteBytes(bytes.data(), n) == n;
}

bool TableFile::WriteAllAt(int64_t offset, std::string_view bytes) {
  return SeekTo(primary_, offset) && WriteAll(bytes);
}

bool TableFile::ReadRange(int64_t offset, int64_t n, char* dest) {
  if (n <= 0) return true;
  if (n > UINT32_MAX) return false;
  // A slot or two of a walk is usually in the window already.
  if (!window_.empty() && offset >= window_offset_ &&
      offset + n <= window_offset_ + static_cast<int64_t>(window_.size())) {
    std::memcpy(dest, window_.data() + (offset - window_offset_), static_cast<size_t>(n));
    return true;
  }
  if (!SeekTo(look_ahead_, offset)) return false;
  for (int64_t have = 0; have < n;) {
    const uint32_t got = look_ahead_.ReadBytes(dest + have, static_cast<uint32_t>(n - have));
    if (got == 0) return false;
    have += got;
  }
  return true;
}

bool TableFile::Truncate(int64_t size) {
  return size >= 0 && size <= UINT32_MAX && primary_.Truncate(static_cast<uint32_t>(size)) == 1;
}

bool TableFile::ReadFormer(int64_t offset, int64_t n, Former* out) {
  out->size = static_cast<size_t>(std::max<int64_t>(n, 0));
  // Not zeroed first: a table's rows can be megabytes, read anew for every change.
  out->bytes = std::make_unique_for_overwrite<char[]>(out->size);
  return ReadRange(offset, n, out->bytes.get());
}

// ---- What this TableFile remembers of the file ----

void TableFile::CheckGeneration() {
  if (*generation_ == seen_generation_) return;
  DropCache();
  seen_generation_ = *generation_;
}

void TableFile::MarkChanged() {
  ++*generation_;
  seen_generation_ = *generation_;
}

void TableFile::DropCache() {
  window_.clear();
  cached_size_ = -1;
}

uint32_t TableFile::WindowBytes() const {
  if (slot_size_ <= 0) return kWindowTargetBytes;
  const uint32_t slot = static_cast<uint32_t>(slot_size_);
  return std::max<uint32_t>(1, kWindowTargetBytes / slot) * slot;
}

bool TableFile::ServeFromWindow(int64_t offset, uint32_t n, DbString* dest) const {
  if (window_.empty() || offset < window_offset_ ||
      offset + n > window_offset_ + static_cast<int64_t>(window_.size())) {
    return false;
  }
  dest->AppendBytes(window_.data() + (offset - window_offset_), n);
  return true;
}

bool TableFile::FillWindow(int64_t offset, uint32_t n, int64_t size) {
  const int64_t span = std::max(WindowBytes(), n);
  // Walking backwards, the window ends at the slot asked for, so the slots before it come next.
  const int64_t start = offset < window_offset_ ? std::max<int64_t>(0, offset + n - span) : offset;
  const int64_t end = std::min(start + span, size);
  window_.clear();
  if (!SeekTo(primary_, start) ||
      !ReadExactly(primary_, static_cast<uint32_t>(end - start), &window_)) {
    window_.clear();
    return false;
  }
  window_offset_ = start;
  return true;
}

void TableFile::PatchWindow(int64_t offset, std::string_view bytes) {
  const int64_t window_end = window_offset_ + static_cast<int64_t>(window_.size());
  const int64_t from = std::max(offset, window_offset_);
  const int64_t to = std::min(offset + static_cast<int64_t>(bytes.size()), window_end);
  if (from >= to) return;
  std::memcpy(window_.data() + (from - window_offset_), bytes.data() + (from - offset),
              static_cast<size_t>(to - from));
}

int64_t TableFile::FileSize() {
  if (deferred_) return static_cast<int64_t>(image_.size());
  CheckGeneration();
  if (cached_size_ >= 0) return cached_size_;
  if (!primary_.IsOpen()) return -1;
  primary_.ClearError();
  const uint32_t size = primary_.Size();
  if (primary_.LastError() != DbFileError::kNone) return -1;
  cached_size_ = size;
  return cached_size_;
}

int64_t TableFile::RowCount() {
  if (slot_size_ <= 0) return -1;
  const int64_t size = FileSize();
  if (size < 0 || size % slot_size_ != 0) return -1;
  return size / slot_size_;
}

// ---- Reading and writing bytes ----

int TableFile::ReadAt(int64_t offset, uint32_t n, DbString* dest) {
  dest->Clear();
  if (offset < 0 || n == 0) return 0;
  if (deferred_) {
    if (static_cast<int64_t>(image_.size()) < offset + n) return 0;
    dest->AppendBytes(image_.data() + offset, n);
    return 1;
  }
  CheckGeneration();
  if (ServeFromWindow(offset, n, dest)) return 1;
  const int64_t size = FileSize();
  if (size < offset + n || !FillWindow(offset, n, size)) return 0;
  return ServeFromWindow(offset, n, dest) ? 1 : 0;
}

int TableFile::WriteAt(int64_t offset, const DbString& src) {
  const int64_t length = src.Length();
  const int64_t size = FileSize();
  if (offset < 0 || length == 0 || size < 0) return 0;
  if (deferred_) {
    // Past the end, the gap reads as zero bytes, as it does in a file.
    if (offset + length > size) image_.resize(static_cast<size_t>(offset + length), '\0');
    image_.replace(static_cast<size_t>(offset), static_cast<size_t>(length), src.View());
    return 1;
  }
  Former former;
  if (!ReadFormer(offset, std::min(size, offset + length) - offset, &former)) return 0;
  return Change(offset, src.View(), {}, std::max(size, offset + length), size, former.View(),
                Shape::kInPlace);
}

int TableFile::Append(const DbString& src) {
  const int64_t size = FileSize();
  if (src.Length() == 0 || size < 0) return 0;
  if (deferred_) {
    image_.append(src.View());
    return 1;
  }
  return Change(size, src.View(), {}, size + src.Length(), size, {}, Shape::kInPlace);
}

int TableFile::AppendRow(const DbString& row) {
  if (slot_size_ <= 0 || row.Length() > static_cast<uint32_t>(slot_size_)) return 0;
  DbString slot(row.View());
  const std::string zeros(slot_size_ - row.Length(), '\0');
  slot.AppendBytes(zeros.data(), static_cast<uint32_t>(zeros.size()));
  return Append(slot);
}

int TableFile::Clear() {
  if (deferred_) {
    image_.clear();
    return 1;
  }
  const int64_t size = FileSize();
  if (size < 0) return 0;
  // Cutting the file cannot fail half-way, so only a journal needs what it cuts off.
  Former former;
  if (journal_ != nullptr && !ReadFormer(0, size, &former)) return 0;
  const int cleared = Change(0, {}, {}, 0, size, former.View(), Shape::kMoved);
  SeekTo(look_ahead_, 0);
  return cleared;
}

int TableFile::InsertAt(int64_t offset, const DbString& src) {
  const int64_t length = src.Length();
  const int64_t size = FileSize();
  if (size < 0 || offset < 0 || size < offset || length == 0) return 0;
  if (deferred_) {
    image_.insert(static_cast<size_t>(offset), src.View());
    return 1;
  }
  // The rows from `offset` on are written again after the new bytes.
  Former rest;
  if (!ReadFormer(offset, size - offset, &rest)) return 0;
  return Change(offset, src.View(), rest.View(), size + length, size, rest.View(), Shape::kMoved);
}

int TableFile::DeleteAt(int64_t offset, uint32_t n) {
  const int64_t size = FileSize();
  if (size < 0 || offset < 0 || n == 0 || size < offset + n) return 0;
  if (deferred_) {
    image_.erase(static_cast<size_t>(offset), n);
    return 1;
  }
  Former former;
  if (!ReadFormer(offset, size - offset, &former)) return 0;
  return Change(offset, former.View().substr(n), {}, size - n, size, former.View(), Shape::kMoved);
}

int TableFile::Change(int64_t from, std::string_view first, std::string_view second,
                      int64_t new_size, int64_t size, std::string_view former, Shape shape) {
  if (first.empty() && second.empty() && new_size == size) return 1;  // nothing changes
  if (journal_ != nullptr && !journal_->BeforeChange(table_name_, size, from, former)) return 0;
  const int64_t written = static_cast<int64_t>(first.size() + second.size());
  // Once anything was written, or the file was cut, it must be put back after a failure.
  const bool writes = written > 0;
  bool made = !writes || (SeekTo(primary_, from) && WriteAll(first) && WriteAll(second));
  bool cut = false;
  if (made && new_size < size) made = cut = Truncate(new_size);
  bool put_back = !writes && !cut;
  if (!made && !put_back) put_back = WriteAllAt(from, former) && Truncate(size);
  if (made && shape == Shape::kInPlace) {
    PatchWindow(from, first);  // in place: nothing comes after `first`
    cached_size_ = new_size;
  } else {
    DropCache();
    if (made) cached_size_ = new_size;
  }
  MarkChanged();
  if (!made && !put_back && journal_ == nullptr) CutToWholeSlots();
  if (journal_ != nullptr && !journal_->AfterChange(made, put_back)) {
    DropCache();
    return 0;
  }
  return made ? 1 : 0;
}

void TableFile::CutToWholeSlots() {
  DropCache();
  MarkChanged();
  const int64_t size = FileSize();
  if (slot_size_ > 0 && size > 0 && size % slot_size_ != 0) {
    Truncate(size - size % slot_size_);
  }
  DropCache();
}

// ---- Deferred writing ----

int TableFile::BeginDeferred() {
  if (deferred_) return 1;
  if (!primary_.IsOpen()) return 0;
  const int64_t size = FileSize();
  if (size < 0 || size > UINT32_MAX) return 0;
  image_.resize(static_cast<size_t>(size));
  if (!ReadRange(0, size, image_.data())) {
    image_.clear();
    return 0;
  }
  deferred_ = true;
  if (journal_ != nullptr && journal_->InTransaction()) {
    deferred_transaction_ = journal_->TransactionId();
    journal_->LoadBegun();
  }
  return 1;
}

int TableFile::EndDeferred() {
  if (!deferred_) return 1;
  deferred_ = false;
  const std::string image = std::exchange(image_, std::string());
  const uint64_t transaction = std::exchange(deferred_transaction_, 0);
  if (transaction != 0) {
    // Rolled back, or committed without it: the load went with its transaction.
    if (transaction != journal_->TransactionId()) return 0;
    journal_->LoadEnded(transaction);
  }
  DropCache();
  const int64_t size = FileSize();
  Former disk;
  if (size < 0 || !ReadFormer(0, size, &disk)) return 0;
  const std::string_view former = disk.View();
  // The bytes before the first change are already in the file.
  const size_t same = static_cast<size_t>(
      std::mismatch(image.begin(), image.end(), former.begin(), former.end()).first -
      image.begin());
  if (same == image.size() && same == former.size()) return 1;
  return Change(static_cast<int64_t>(same), std::string_view(image).substr(same), {},
                static_cast<int64_t>(image.size()), size, former.substr(same), Shape::kMoved);
}

// ---- The current row ----

void TableFile::MoveNext() {
  const int64_t size = FileSize();
  if (size >= current_offset_ + slot_size_) current_offset_ += slot_size_;
}

void TableFile::MoveFirst() { current_offset_ = 0; }

void TableFile::MoveLast() {
  const int64_t size = FileSize();
  if (size >= 0) current_offset_ = size - slot_size_;
}

void TableFile::MoveAbsolute(uint32_t row) {
  const int64_t target = int64_t{row} * slot_size_;
  if (target < FileSize()) current_offset_ = target;
}

void TableFile::MovePrevious() {
  current_offset_ = std::max<int64_t>(0, current_offset_ - slot_size_);
}

int TableFile::MoveByCode(int move_code, uint32_t row_index) {
  switch (move_code) {
    case kMoveNext:
      MoveNext();
      return 1;
    case kMoveFirst:
      MoveFirst();
      return 1;
    case kMoveLast:
      MoveLast();
      return 1;
    case kMoveAbsolute:
      MoveAbsolute(row_index);
      return 1;
    case kMovePrevious:
      MovePrevious();
      return 1;
    default:
      return 0;
  }
}

int TableFile::ReadCurrentRow() {
  if (slot_size_ <= 0) return 0;
  return ReadAt(current_offset_, static_cast<uint32_t>(slot_size_), &row_buffer_);
}

}  // namespace ledgerix
