#pragma once
// TableFile: the rows of one table of the file database, kept in a file of fixed-size row slots
// (18 bytes per column) ordered by the caller. It reads, writes, inserts and deletes byte ranges
// of the file in place (through the database's journal, so that each change is all or nothing),
// and keeps the current row's offset and buffer for a record set's cursor.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/db_driver.h"
#include "engine/db_file.h"
#include "engine/db_string.h"
#include "engine/table_journal.h"
#include "engine/table_write_generations.h"
#include "platform/env.h"

namespace ledgerix {

// Every slot holds 18 bytes per column; the row's encoding starts at the slot's first byte.
inline constexpr int32_t kSlotBytesPerColumn = 18;

// A slot to put into a table file by TableFile::ReplaceSlots: before the row that is number
// `before_row` (0-based) now, or at the end for the row count.
struct SlotInsert {
  int64_t before_row = 0;
  std::string_view bytes;  // exactly one slot
};

class TableFile : public DbDriverState {
 public:
  // A table of `column_count` columns in the file "<table_name>.$tab$" of the database folder
  // (created if missing). The streams stay closed until OpenStreams. A TableFile keeps a window
  // of recently read slots; `generations` (not owned, needed only during construction) gives it
  // the write counter it shares with every other TableFile on the same file, so that a write
  // through one of them makes the others read afresh. Without it the counter is private, which
  // is correct only while no other TableFile writes the same file. With a `journal` every change
  // goes through it (TableJournal: all or nothing, a transaction of its own outside one); without
  // one the file is changed directly, and a failed change is put back as far as it can be.
  TableFile(platform::Env& env, const DbString& table_name, int32_t column_count,
            TableWriteGenerations* generations = nullptr,
            std::shared_ptr<TableJournal> journal = nullptr);
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;
  // Writes out what is deferred (see EndDeferred).
  ~TableFile() override;

  // Opens the primary and the look-ahead stream on the file (read and write, open existing,
  // both sharing reading and writing). When that fails the file is created empty and the open
  // is tried once more. 1 when both streams are open. The look-ahead stream reads what a change
  // is about to overwrite; the primary stream reads rows and writes.
  [[nodiscard]] int OpenStreams();
  // Closes both streams and forgets what was read, after writing out what is deferred.
  void CloseStreams();

  // Deferred writing, for many changes at once (a table being loaded): BeginDeferred reads the
  // whole file into memory, and until EndDeferred every read and change of this TableFile works
  // on that copy with the same results, while the file stays as it was. Meant for a table that
  // no other TableFile writes meanwhile; the others see the changes after EndDeferred. A load
  // begun inside a transaction belongs to it: once that transaction has ended, EndDeferred
  // drops the copy. 1 when deferred (also when it already was); 0 when the streams are closed or
  // the file cannot be read whole.
  [[nodiscard]] int BeginDeferred();
  // Writes the copy over the file as one change and stops deferring. 1 when written (or when
  // nothing was deferred); 0 when the write failed, and then the file is as it was, or when the
  // transaction the load belonged to has ended.
  [[nodiscard]] int EndDeferred();
  bool deferred() const { return deferred_; }

  const DbString& Path() const { return path_; }
  int32_t ColumnCount() const { return column_count_; }
  // 18 × the column count; 0 for a table without columns.
  int32_t SlotSize() const { return slot_size_; }
  // The file's size, or -1 when it cannot be read.
  int64_t FileSize();
  // File size ÷ slot size; -1 when the size is not a whole number of slots, when the table has
  // no columns, or when the size cannot be read.
  int64_t RowCount();

  // Copies n bytes at `offset` into *dest (replacing its text). 0 when the file is shorter than
  // offset + n or reading fails; *dest is then empty.
  [[nodiscard]] int ReadAt(int64_t offset, uint32_t n, DbString* dest);
  // The n bytes at `offset` without a copy: a view into what this TableFile holds, valid until
  // its next read or change. Empty when the file is shorter than offset + n or reading fails.
  std::string_view ViewAt(int64_t offset, uint32_t n);
  // Every change below answers 1 when it was made (and, with a journal outside a transaction,
  // committed), and 0 when it was not; after 0 the file is as it was before the call. (Without
  // a journal, should putting it back fail too, the file is at least cut to whole slots.)
  // Writes all of `src` at `offset`.
  [[nodiscard]] int WriteAt(int64_t offset, const DbString& src);
  // Writes all of `src` at the end of the file.
  [[nodiscard]] int Append(const DbString& src);
  // Inserts `src` at `offset`, moving the rest of the file up. 0 also when offset is beyond the
  // end or `src` is empty.
  [[nodiscard]] int InsertAt(int64_t offset, const DbString& src);
  // Removes n bytes at `offset`, moving the rest of the file down. 0 also when offset + n is
  // beyond the end.
  [[nodiscard]] int DeleteAt(int64_t offset, uint32_t n);
  // Empties the file.
  [[nodiscard]] int Clear();
  // Many rows removed and added as one change: drops the slots of the rows `removed` (0-based,
  // ascending, each once, below RowCount) and puts in `inserts` (ascending by before_row, at
  // most RowCount; those with the same before_row in the order given). The rows in between move
  // once, not once per row, and only the bytes from the first changed slot on are written (up
  // to the last changed one when the row count stays). 1 when made, also when nothing changes;
  // 0 for arguments out of order or range, a slot of the wrong size, or a failed change, and
  // then the file is as it was.
  [[nodiscard]] int ReplaceSlots(std::span<const int64_t> removed,
                                 std::span<const SlotInsert> inserts);
  // Writes whole slots over rows in place, as one change (one journal sync for all of them):
  // each of `rows` (0-based, ascending, each once, below RowCount) gets the slot at the same
  // index of `slots`. 1 when made; 0 for arguments out of order or range, a slot of the wrong
  // size, or a failed write, and then the file is as it was.
  [[nodiscard]] int OverwriteSlots(std::span<const int64_t> rows,
                                   std::span<const std::string_view> slots);

  // Moves of the current row, by byte offset o and slot size s. Next: o + s when the file holds
  // at least o + s bytes, else o stays. First: 0. Last: size - s. Absolute: row × s when that is
  // below the size, else o stays. Previous: o - s, not below 0.
  void MoveNext();
  void MoveFirst();
  void MoveLast();
  void MoveAbsolute(uint32_t row);
  void MovePrevious();
  // The move of a driver move code (kMoveNext ... kMovePrevious); 0 for any other code.
  [[nodiscard]] int MoveByCode(int move_code, uint32_t row_index);
  int64_t CurrentOffset() const { return current_offset_; }
  void SetCurrentOffset(int64_t offset) { current_offset_ = offset; }
  // Reads the current slot into the row buffer. 0 when the slot lies beyond the end of the file.
  [[nodiscard]] int ReadCurrentRow();
  // The buffer of one row: the slot last read, or the row being written.
  DbString& RowBuffer() { return row_buffer_; }

  // Appends `row` as a new slot, padded with zero bytes. 0 when it is longer than a slot, the
  // table has no columns, or the append fails.
  [[nodiscard]] int AppendRow(const DbString& row) override;

 private:
  // How a change leaves the bytes around it: in place (only [from, from + written) changed)
  // or moved (everything from `from` on may have changed).
  enum class Shape { kInPlace, kMoved };

  [[nodiscard]] bool OpenBoth();
  // Drops the window and the size when another TableFile on the file wrote since they were read.
  void CheckGeneration();
  // After every change of the file: the shared counter moves on, so that other TableFiles on the
  // file drop what they read; what this one keeps has been brought up to date by the caller.
  void MarkChanged();
  void DropCache();
  uint32_t WindowBytes() const;
  bool ServeFromWindow(int64_t offset, uint32_t n, DbString* dest) const;
  [[nodiscard]] bool FillWindow(int64_t offset, uint32_t n, int64_t size);
  // Puts bytes just written at `offset` into the window where it holds that range.
  void PatchWindow(int64_t offset, std::string_view bytes);

  [[nodiscard]] bool SeekTo(DbFile& stream, int64_t offset);
  // Reads exactly n bytes at the stream's position, appending them to *out.
  [[nodiscard]] bool ReadExactly(DbFile& stream, uint32_t n, std::string* out);
  // Bytes of the file as they were before a change.
  struct Former {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    std::string_view View() const { return {bytes.get(), size}; }
  };
  // Copies the n bytes at `offset` as the file holds them now into `dest` (from the window, or
  // read with the look-ahead stream).
  [[nodiscard]] bool ReadRange(int64_t offset, int64_t n, char* dest);
  [[nodiscard]] bool ReadFormer(int64_t offset, int64_t n, Former* out);
  // Writes `bytes` with the primary stream at its position; a short write is a failure.
  [[nodiscard]] bool WriteAll(std::string_view bytes);
  [[nodiscard]] bool WriteAllAt(int64_t offset, std::string_view bytes);
  [[nodiscard]] bool Truncate(int64_t size);
  [[nodiscard]] bool ValidReplacement(std::span<const int64_t> removed,
                                      std::span<const SlotInsert> inserts, int64_t rows) const;

  // The one way the file changes: from `from` on it holds `first` then `second`, and it ends at
  // `new_size` (cut when shorter than now). `size` is the file's size now and `former` its bytes
  // from `from` that the change overwrites or cuts off, which put the file back should the change
  // fail. Goes through the journal when there is one.
  [[nodiscard]] int Change(int64_t from, std::string_view first, std::string_view second,
                           int64_t new_size, int64_t size, std::string_view former, Shape shape);
  // The last resort after a failed put-back without a journal: the file keeps only its whole
  // slots.
  void CutToWholeSlots();

  platform::Env& env_;
  DbString table_name_;
  DbString path_;
  DbFile primary_;
  DbFile look_ahead_;
  DbString row_buffer_;
  int32_t column_count_;
  int32_t slot_size_;
  int64_t current_offset_ = 0;
  std::shared_ptr<TableJournal> journal_;

  // While deferred: the file as this TableFile changed it, and the transaction it belongs to.
  bool deferred_ = false;
  std::string image_;
  uint64_t deferred_transaction_ = 0;

  std::shared_ptr<uint64_t> generation_;
  uint64_t seen_generation_ = 0;
  int64_t cached_size_ = -1;  // -1 while unknown
  int64_t window_offset_ = 0;
  std::string window_;
};

}  // namespace ledgerix
