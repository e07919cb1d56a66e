#include "engine/table_file.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

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

// A load is ended, and its result checked, by whoever began it (DbRecordSet::EndBulkLoad); this
// only writes out what was left deferred, and a failure leaves the file as it was.
TableFile::~TableFile() { static_cast<void>(EndDeferred()); }

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
  // As in the destructor; and the streams only read and write through DbFile calls that
  // answer for themselves, so a failed close loses nothing that was reported as done.
  static_cast<void>(EndDeferred());
  if (primary_.IsOpen()) static_cast<void>(primary_.Close());
  if (look_ahead_.IsOpen()) static_cast<void>(look_ahead_.Close());
  DropCache();
}

bool TableFile::SeekTo(DbFile& stream, int64_t offset) { return stream.Seek(0, offset) == offset; }

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
  const int64_t size = primary_.Size();
  if (size < 0) return -1;
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

std::string_view TableFile::ViewAt(int64_t offset, uint32_t n) {
  if (offset < 0 || n == 0) return {};
  if (deferred_) {
    if (static_cast<int64_t>(image_.size()) < offset + n) return {};
    return std::string_view(image_).substr(static_cast<size_t>(offset), n);
  }
  CheckGeneration();
  const auto in_window = [&] {
    return !window_.empty() && offset >= window_offset_ &&
           offset + n <= window_offset_ + static_cast<int64_t>(window_.size());
  };
  if (!in_window()) {
    const int64_t size = FileSize();
    if (size < offset + n || !FillWindow(offset, n, size) || !in_window()) return {};
  }
  return std::string_view(window_).substr(static_cast<size_t>(offset - window_offset_), n);
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
  return Change(0, {}, {}, 0, size, former.View(), Shape::kMoved);
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

bool TableFile::ValidReplacement(std::span<const int64_t> removed,
                                 std::span<const SlotInsert> inserts, int64_t rows) const {
  for (size_t i = 0; i < removed.size(); ++i) {
    if (removed[i] < 0 || removed[i] >= rows || (i > 0 && removed[i] <= removed[i - 1])) {
      return false;
    }
  }
  for (size_t i = 0; i < inserts.size(); ++i) {
    const SlotInsert& insert = inserts[i];
    if (insert.before_row < 0 || insert.before_row > rows ||
        insert.bytes.size() != static_cast<size_t>(slot_size_) ||
        (i > 0 && insert.before_row < inserts[i - 1].before_row)) {
      return false;
    }
  }
  return true;
}

int TableFile::ReplaceSlots(std::span<const int64_t> removed, std::span<const SlotInsert> inserts) {
  const int64_t rows = RowCount();
  if (rows < 0 || !ValidReplacement(removed, inserts, rows)) return 0;
  if (removed.empty() && inserts.empty()) return 1;
  const auto slot = static_cast<size_t>(slot_size_);
  const int64_t first_row = std::min(removed.empty() ? rows : removed.front(),
                                     inserts.empty() ? rows : inserts.front().before_row);
  const int64_t from = first_row * slot_size_;
  const int64_t size = rows * slot_size_;
  Former disk;
  std::string_view former;
  if (deferred_) {
    former = std::string_view(image_).substr(static_cast<size_t>(from));
  } else {
    if (!ReadFormer(from, size - from, &disk)) return 0;
    former = disk.View();
  }
  // The file from the first changed row on, as it is to be.
  std::string tail;
  tail.reserve(former.size() + inserts.size() * slot);
  size_t next_removed = 0;
  size_t next_insert = 0;
  for (int64_t row = first_row;; ++row) {
    while (next_insert < inserts.size() && inserts[next_insert].before_row == row) {
      tail.append(inserts[next_insert++].bytes);
    }
    if (row == rows) break;
    if (next_removed < removed.size() && removed[next_removed] == row) {
      ++next_removed;
      continue;
    }
    tail.append(former.substr(static_cast<size_t>(row - first_row) * slot, slot));
  }
  if (deferred_) {
    image_.replace(static_cast<size_t>(from), std::string::npos, tail);
    return 1;
  }
  // Slots that come out as they were need no writing: those in front of the first change, and
  // when the length stays, those after the last one.
  size_t same_front = 0;
  while (same_front < tail.size() && same_front < former.size() &&
         tail.compare(same_front, slot, former, same_front, slot) == 0) {
    same_front += slot;
  }
  size_t end = tail.size();
  const bool same_length = tail.size() == former.size();
  if (same_length) {
    while (end > same_front && tail.compare(end - slot, slot, former, end - slot, slot) == 0) {
      end -= slot;
    }
  }
  const int64_t start = from + static_cast<int64_t>(same_front);
  const std::string_view written = std::string_view(tail).substr(same_front, end - same_front);
  const std::string_view replaced =
      former.substr(same_front, same_length ? end - same_front : std::string_view::npos);
  return Change(start, written, {}, from + static_cast<int64_t>(tail.size()), size, replaced,
                same_length ? Shape::kInPlace : Shape::kMoved);
}

int TableFile::OverwriteSlots(std::span<const int64_t> rows,
                              std::span<const std::string_view> slots) {
  const int64_t row_count = RowCount();
  if (row_count < 0 || rows.size() != slots.size()) return 0;
  const auto slot = static_cast<size_t>(slot_size_);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] < 0 || rows[i] >= row_count || (i > 0 && rows[i] <= rows[i - 1]) ||
        slots[i].size() != slot) {
      return 0;
    }
  }
  if (deferred_) {
    for (size_t i = 0; i < rows.size(); ++i) {
      image_.replace(static_cast<size_t>(rows[i]) * slot, slot, slots[i]);
    }
    return 1;
  }
  std::vector<Former> formers(rows.size());
  std::vector<TableJournal::FormerBytes> ranges;
  ranges.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!ReadFormer(rows[i] * slot_size_, slot_size_, &formers[i])) return 0;
    ranges.push_back({rows[i] * slot_size_, formers[i].View()});
  }
  if (rows.empty()) return 1;
  const int64_t size = row_count * slot_size_;
  if (journal_ != nullptr && !journal_->BeforeChanges(table_name_, size, ranges)) return 0;
  size_t written = 0;
  while (written < rows.size() && WriteAllAt(ranges[written].from, slots[written])) ++written;
  const bool made = written == rows.size();
  bool put_back = true;
  // The slot whose write failed may be half written, so it is put back too.
  for (size_t i = 0; !made && i <= written && i < rows.size(); ++i) {
    put_back = WriteAllAt(ranges[i].from, ranges[i].bytes) && put_back;
  }
  if (made) {
    for (size_t i = 0; i < rows.size(); ++i) PatchWindow(ranges[i].from, slots[i]);
  } else {
    DropCache();
  }
  MarkChanged();
  if (journal_ != nullptr && !journal_->AfterChange(made, put_back)) {
    DropCache();
    return 0;
  }
  return made ? 1 : 0;
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
    // The last resort after a change that could not be put back: nothing is left to try.
    static_cast<void>(Truncate(size - size % slot_size_));
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
