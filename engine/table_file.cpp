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
// Inserts and deletes move the file in blocks of about this size (a multiple of the moved
// distance), instead of one slot per read and write.
constexpr uint32_t kMoveTargetBytes = 64 * 1024;
// A deferred table is written back in blocks of this size.
constexpr size_t kDeferredWriteBytes = 1024 * 1024;
// The catalog stores column counts in 16 bits.
constexpr int32_t kMaxColumns = 65535;

int32_t SlotSizeFor(int32_t column_count) {
  return column_count > 0 && column_count <= kMaxColumns ? column_count * kSlotBytesPerColumn : 0;
}

}  // namespace

TableFile::TableFile(platform::Env& env, const DbString& table_name, int32_t column_count,
                     TableWriteGenerations* generations)
    : env_(env),
      path_(DatabaseFilePath(env, table_name, kTableFileExtension)),
      primary_(env),
      look_ahead_(env),
      column_count_(column_count),
      slot_size_(SlotSizeFor(column_count)),
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

bool TableFile::WriteAll(std::string_view bytes, int64_t* written) {
  if (bytes.empty()) return true;
  const DbString block(bytes);
  const uint32_t count = primary_.Write(block, static_cast<uint32_t>(bytes.size()));
  *written += count;
  // A short count means the disk is full: the rest would fail too.
  return count == bytes.size();
}

bool TableFile::WriteAllAt(int64_t offset, std::string_view bytes) {
  int64_t written = 0;
  return SeekTo(primary_, offset) && WriteAll(bytes, &written);
}

bool TableFile::Truncate(int64_t size) {
  return size >= 0 && size <= UINT32_MAX && primary_.Truncate(static_cast<uint32_t>(size)) == 1;
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
  // The former bytes, to put back should the write stop half-way.
  DbString former;
  const int64_t former_end = std::min(size, offset + length);
  if (offset < former_end && !ReadAt(offset, static_cast<uint32_t>(former_end - offset), &former)) {
    return 0;
  }
  int64_t written = 0;
  if (SeekTo(primary_, offset) && WriteAll(src.View(), &written)) {
    PatchWindow(offset, src.View());
    cached_size_ = std::max(size, offset + length);
    MarkChanged();
    return 1;
  }
  DropCache();
  MarkChanged();
  if (written > 0) {
    const bool restored = (former.Length() == 0 || WriteAllAt(offset, former.View())) &&
                          (offset + length <= size || Truncate(size));
    if (!restored) CutToWholeSlots();
  }
  return 0;
}

int TableFile::Append(const DbString& src) {
  const int64_t size = FileSize();
  if (src.Length() == 0 || size < 0) return 0;
  if (deferred_) {
    image_.append(src.View());
    return 1;
  }
  int64_t written = 0;
  if (SeekTo(primary_, size) && WriteAll(src.View(), &written)) {
    cached_size_ = size + src.Length();
    MarkChanged();
    return 1;
  }
  DropCache();
  MarkChanged();
  if (written > 0 && !Truncate(size)) CutToWholeSlots();
  return 0;
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
  DropCache();
  MarkChanged();
  const bool cleared = Truncate(0);
  SeekTo(look_ahead_, 0);
  if (cleared) cached_size_ = 0;
  return cleared ? 1 : 0;
}

// ---- Moving blocks inside the file ----

uint32_t TableFile::MoveBlockSize(uint32_t unit) const {
  if (unit >= kMoveTargetBytes) return unit;
  return kMoveTargetBytes / unit * unit;
}

bool TableFile::ReadAhead(uint32_t block, int64_t end, Move* move) {
  const int64_t want = std::min<int64_t>(block, end - move->read_to);
  if (want <= 0) return true;
  if (!ReadExactly(look_ahead_, static_cast<uint32_t>(want), &move->carry)) return false;
  move->read_to += want;
  return true;
}

bool TableFile::WriteCarry(size_t n, Move* move) {
  const int64_t before = move->written_to;
  const bool ok = WriteAll(std::string_view(move->carry).substr(0, n), &move->written_to);
  move->carry.erase(0, static_cast<size_t>(move->written_to - before));
  return ok;
}

bool TableFile::ShiftUp(int64_t offset, std::string_view src, int64_t end, Move* move) {
  // Each write goes after the next block has been read, and a block is at least as long as the
  // distance moved, so the look-ahead stream has always read what the primary one overwrites.
  const uint32_t block = MoveBlockSize(static_cast<uint32_t>(src.size()));
  move->written_to = offset;
  move->read_to = offset;
  move->carry.clear();
  if (!SeekTo(look_ahead_, offset) || !SeekTo(primary_, offset)) return false;
  if (!ReadAhead(block, end, move)) return false;
  size_t older = move->carry.size();
  if (!WriteAll(src, &move->written_to)) return false;
  for (;;) {
    const size_t before = move->carry.size();
    if (!ReadAhead(block, end, move)) return false;
    const size_t newer = move->carry.size() - before;
    if (older > 0 && !WriteCarry(older, move)) return false;
    if (newer == 0) return true;
    older = newer;
  }
}

bool TableFile::MoveDown(int64_t from, int64_t to, int64_t n, Move* move) {
  const uint32_t block = MoveBlockSize(static_cast<uint32_t>(from - to));
  move->written_to = to;
  move->read_to = from;
  move->carry.clear();
  if (!SeekTo(look_ahead_, from) || !SeekTo(primary_, to)) return false;
  const int64_t end = from + n;
  while (move->read_to < end) {
    move->carry.clear();
    if (!ReadAhead(block, end, move)) return false;
    if (!WriteCarry(move->carry.size(), move)) return false;
  }
  return true;
}

int TableFile::InsertAt(int64_t offset, const DbString& src) {
  const int64_t length = src.Length();
  const int64_t size = FileSize();
  if (size < 0 || offset < 0 || size < offset || length == 0) return 0;
  if (deferred_) {
    image_.insert(static_cast<size_t>(offset), src.View());
    return 1;
  }
  DropCache();
  MarkChanged();
  Move move;
  if (ShiftUp(offset, src.View(), size, &move) && Truncate(size + length)) {
    cached_size_ = size + length;
    return 1;
  }
  UndoInsert(offset, length, size, move);
  return 0;
}

void TableFile::UndoInsert(int64_t offset, int64_t length, int64_t size, const Move& move) {
  // The file holds: [offset, offset + length) the new bytes (or part of them), then the former
  // bytes from offset moved up, up to written_to; from there on the former bytes in place. The
  // former bytes that were overwritten, from max(offset, written_to - length), are the front of
  // the carry.
  const int64_t written = move.written_to;
  bool ok = true;
  if (written > offset + length) {
    Move down;
    ok = MoveDown(offset + length, offset, written - offset - length, &down);
  }
  const int64_t lost_from = std::max(offset, written - length);
  const int64_t lost_to = std::min(written, size);
  if (ok && lost_to > lost_from) {
    ok = static_cast<int64_t>(move.carry.size()) >= lost_to - lost_from &&
         WriteAllAt(lost_from, std::string_view(move.carry).substr(0, lost_to - lost_from));
  }
  ok = ok && Truncate(size);
  if (!ok) CutToWholeSlots();
  DropCache();
  MarkChanged();
}

int TableFile::DeleteAt(int64_t offset, uint32_t n) {
  const int64_t size = FileSize();
  if (size < 0 || offset < 0 || n == 0 || size < offset + n) return 0;
  if (deferred_) {
    image_.erase(static_cast<size_t>(offset), n);
    return 1;
  }
  // The removed bytes, to put back should the move fail.
  std::string removed;
  if (!SeekTo(primary_, offset) || !ReadExactly(primary_, n, &removed)) return 0;
  DropCache();
  MarkChanged();
  Move move;
  if (MoveDown(offset + n, offset, size - offset - n, &move)) {
    SeekTo(look_ahead_, 0);
    if (Truncate(size - n)) {
      cached_size_ = size - n;
      return 1;
    }
  }
  UndoDelete(offset, removed, size, move);
  return 0;
}

void TableFile::UndoDelete(int64_t offset, const std::string& removed, int64_t size,
                           const Move& move) {
  // The file holds the bytes after the removed ones moved down to offset, up to written_to, and
  // the former bytes from there on, so [written_to, written_to + n) is a second copy. Moving
  // [offset, written_to) back up over it and writing the removed bytes at offset restores it.
  Move up;
  const bool ok = ShiftUp(offset, removed, move.written_to, &up) && Truncate(size);
  if (!ok) CutToWholeSlots();
  DropCache();
  MarkChanged();
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
  std::string bytes;
  if (size > 0 &&
      (!SeekTo(primary_, 0) || !ReadExactly(primary_, static_cast<uint32_t>(size), &bytes))) {
    return 0;
  }
  image_ = bytes;
  former_ = std::move(bytes);
  deferred_ = true;
  return 1;
}

int TableFile::EndDeferred() {
  if (!deferred_) return 1;
  deferred_ = false;
  const std::string image = std::exchange(image_, std::string());
  const std::string former = std::exchange(former_, std::string());
  DropCache();
  MarkChanged();
  // The bytes before the first change are already in the file.
  const size_t same = static_cast<size_t>(
      std::mismatch(image.begin(), image.end(), former.begin(), former.end()).first -
      image.begin());
  if (same == image.size() && same == former.size()) return 1;
  int64_t written = 0;
  bool ok = SeekTo(primary_, static_cast<int64_t>(same));
  // In blocks, each copied once on its way out, rather than a second copy of the whole table.
  for (size_t at = same; ok && at < image.size(); at += kDeferredWriteBytes) {
    ok = WriteAll(std::string_view(image).substr(at, kDeferredWriteBytes), &written);
  }
  if (ok && Truncate(static_cast<int64_t>(image.size()))) {
    cached_size_ = static_cast<int64_t>(image.size());
    return 1;
  }
  DropCache();
  const bool restored =
      WriteAllAt(static_cast<int64_t>(same), std::string_view(former).substr(same)) &&
      Truncate(static_cast<int64_t>(former.size()));
  if (!restored) CutToWholeSlots();
  DropCache();
  return 0;
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
