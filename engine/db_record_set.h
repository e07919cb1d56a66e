#pragma once
// DbRecordSet: the cursor through which the program reads and changes one table. It holds the
// table's column definitions, a DbRecord with one value per column for the current row and a
// RecordCursor; all storage work goes to the driver of its connection, for which it turns the
// current fields into the binary row encoding and back.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "engine/db_column_def.h"
#include "engine/db_driver.h"
#include "engine/db_string.h"
#include "engine/db_value.h"

namespace ledgerix {

class DbRecordSet;

// The current row of a record set: one value per column.
class DbRecord {
 public:
  // `owner` may be null (every lookup then answers null); `count` untyped values.
  DbRecord(DbRecordSet* owner, uint32_t count);
  virtual ~DbRecord() = default;

  // The field of the column named exactly `name`, or null without an owner or such a column.
  virtual DbValue* FieldByName(const char* name);
  // The field at a 0-based index, or null without an owner or when index >= Count().
  virtual DbValue* FieldByIndex(uint32_t index);
  // The number of fields (0 without an owner).
  virtual uint32_t Count() const;

 private:
  DbRecordSet* owner_;
  std::vector<DbValue> fields_;
};

// Position (0-based), the position last fetched from the driver, and the row count.
struct RecordCursor {
  uint32_t position = 0;
  uint32_t last_fetched = 0;
  uint32_t row_count = 0;
};

// Ready: the connection has a driver that is open. Usable: ready, with a record, and open.
// Every operation answers 0 (or null, or -1 where stated) when it fails.
class DbRecordSet {
 public:
  // `host` is the connection (not owned; it must outlive the record set).
  explicit DbRecordSet(DbDriverHost* host);
  DbRecordSet(const DbRecordSet&) = delete;
  DbRecordSet& operator=(const DbRecordSet&) = delete;
  // Closes the cursor, then releases the record and the columns.
  virtual ~DbRecordSet();

  // Releases the record and the columns, takes ownership of `defs` and builds a record with
  // one value per definition, typed from it, its tag set to the definition's size. 1.
  // Null definitions are skipped.
  virtual int DefineColumns(std::vector<std::unique_ptr<DbColumnDef>> defs);
  // The column definitions in order (owned by the record set; empty when none are defined).
  virtual std::span<const std::unique_ptr<DbColumnDef>> ColumnDefs() const;
  virtual uint32_t ColumnCount() const;
  // The column definition at an index, or null.
  virtual const DbColumnDef* ColumnDef(uint32_t index) const;
  // Closes any cursor and opens the query through the driver; positions on row 0. 1 on success.
  [[nodiscard]] virtual int OpenQuery(const DbString& query_text);
  // BuildQuery for the table (condition may be null), then OpenQuery.
  [[nodiscard]] virtual int OpenTable(const char* table_name, const char* condition);
  // Removes every row through the driver; on success the row count is 0 and adding ends.
  [[nodiscard]] virtual int DeleteAll();
  // Releases the driver's cursor when one is open (drops the driver state itself when the
  // driver is gone or closed), ending a bulk load first; clears the fetched, open and adding
  // flags and the row count. 1.
  virtual int Close();
  // Starts a bulk load of the open table (DbDriver::BeginBulkLoad): until EndBulkLoad, Close or
  // the next OpenTable, use the record set only to add rows. 1 when the driver takes the rows in
  // bulk; 0 when it is not usable or the driver stores them one by one (no failure: adding
  // works either way).
  virtual int BeginBulkLoad();
  // Ends the bulk load: 1 when every row it took is stored, or when none runs; 0 when the
  // driver could not store them.
  [[nodiscard]] virtual int EndBulkLoad();
  // Hands a statement to the driver without a cursor.
  [[nodiscard]] virtual int Execute(const DbString& statement_text);
  // The row count when usable, else 0.
  virtual uint32_t RowCount() const;
  virtual int MoveNext();
  virtual int MovePrevious();
  virtual int MoveFirst();
  virtual int MoveLast();
  // Moves to the 1-based row n; fails for 0 and for n above the row count.
  virtual int Move(uint32_t n);
  // 1 when there are no rows, the position is at or past the row count, or not usable.
  virtual int IsEOF() const;
  // 1 when there are no rows, the position is 0, or not usable.
  virtual int IsBOF() const;
  // Enters the adding state: the record becomes the new row's buffer with every field reset to
  // its column type's empty value. 0 when already adding or not usable.
  [[nodiscard]] virtual int AddNew();
  // Deletes the current row; the same position then shows the following row (position 0
  // after deleting the last row). In the adding state only leaves that state.
  [[nodiscard]] virtual int Delete();
  // Writes the new row (adding; afterwards the position is 0) or the current row's fields
  // through the driver; leaves adding. Overwriting needs the record to hold the row at the
  // current position (CurrentRecord since the last move), else 0 and nothing is written.
  [[nodiscard]] virtual int Update();
  // Fills the fields of the added row `index` (on a record whose fields start empty, as after
  // AddNew) for ReplaceRows; false when it cannot.
  using RowFiller = std::function<bool(size_t index, DbRecord* record)>;
  // Removes the rows at the 0-based positions `removed` (ascending, each once, below RowCount)
  // and adds `added_count` rows that `fill` gives, placed as Update places a new row: in one
  // change of the table where the driver has one (DbDriver::ReplaceRows), else row by row.
  // Afterwards the position is 0. 1 when done. 0 when not usable, while adding or loading in
  // bulk, for positions out of order, a row that cannot be filled or encoded, or a failed
  // write: the driver that changes at once then left the table as it was, while row by row
  // part may be done, so call it inside a transaction and roll that back on 0.
  [[nodiscard]] virtual int ReplaceRows(std::span<const uint32_t> removed, size_t added_count,
                                        const RowFiller& fill);
  // Reads every row from the first, calling visit(record) on each until it answers kStop
  // (DbDriver::ScanRows, else with MoveNext and CurrentRecord). `columns` names the fields that
  // must be read (bit i for column i, 0 for all); the others may hold anything until visit
  // answers kWholeRow, which reads the row whole and visits it again. Afterwards the record set
  // stands on its first row. 1 when the walk ended at the last row or by visit; 0 when not
  // usable, while adding, or when a row could not be read.
  [[nodiscard]] virtual int ScanRows(uint64_t columns, const ScanVisitor& visit);
  // The record, or null when not ready.
  virtual DbRecord* Fields();
  // The current row, fetched from the driver unless already fetched; the new row's buffer while
  // adding; null on failure and at or past the end. Callers pass -1 (a hint of 0 or more makes
  // every call fetch again).
  virtual DbRecord* CurrentRecord(int hint);
  // The 0-based position when usable and the table has rows, else -1.
  virtual int Position() const;
  // Appends the binary encoding of the first `column_limit` fields (all for 0) to `out`. 0 and
  // `out` unchanged when a column's type cannot be encoded.
  virtual int EncodeRow(DbString* out, uint32_t column_limit) const;
  // Decodes the first `column_limit` fields (all for 0) from the front of `in`, consuming the
  // bytes with DropFront (the caller compacts). On failure exactly the bytes this call consumed
  // are given back and 0 answered.
  [[nodiscard]] virtual int DecodeRow(DbString* in, uint32_t column_limit);
  // DecodeRow of the fields a scan's column set takes (ScanTakesColumn; 0 for all) from the
  // front of `bytes`, which stay as they are; the other columns are stepped over. 1, or 0 when a
  // column cannot be decoded or measured (the fields before it hold the new values then).
  [[nodiscard]] int DecodeRowFrom(std::string_view bytes, uint64_t columns = 0);
  // Looks for one whole encoded row at the front of `buffer` (measured from the column types)
  // and hands it to the driver state's AppendRow; the row is then dropped from the buffer and
  // the row count grows by one. 1 when a row was appended; 0 when no whole row is there yet
  // (the buffer is compacted to await more bytes); -1 when a column type cannot be measured,
  // there is no record, driver state or open cursor, or the append failed (the row stays).
  [[nodiscard]] virtual int AppendEncodedRow(DbString* buffer);
  // 1 when the connection's kind is the file database.
  virtual int IsFileDatabase() const;
  // The index of the first column named exactly `name`; -1 when none or not ready.
  virtual int ColumnIndex(const char* name) const;
  virtual DbValue* FieldByName(const char* name);
  virtual DbValue* FieldByIndex(uint32_t index);
  // The driver's per-cursor state; the record set owns it until the driver takes it back.
  virtual void SetDriverState(std::unique_ptr<DbDriverState> state);
  virtual DbDriverState* DriverState() const;
  virtual std::unique_ptr<DbDriverState> TakeDriverState();
  virtual void SetUserWord(uint32_t value);
  virtual uint32_t UserWord() const;

  const RecordCursor& Cursor() const { return cursor_; }
  DbDriverHost* Host() const { return host_; }

 private:
  DbDriver* ReadyDriver() const;
  bool IsUsable() const;
  void ReleaseColumns();
  // ReplaceRows through Move, Delete, AddNew and Update.
  [[nodiscard]] bool ReplaceRowByRow(std::span<const uint32_t> removed, size_t added_count,
                                     const RowFiller& fill);
  // The move code that brings the driver from the last fetched row to the position; 0 for none.
  int MoveCodeFor() const;
  // Clears the fetched flag and answers whether the record set is usable (every move does so).
  bool BeginMove();
  // Every field back to the empty value of its column type, its tag the column's size.
  void ResetFields();
  // The length of the encoded row at the front of `bytes`: 0 when the bytes end first, -1 when
  // a column type has no encoding.
  int64_t MeasureRow(std::string_view bytes) const;

  RecordCursor cursor_;
  DbDriverHost* host_;
  std::unique_ptr<DbRecord> record_;
  std::vector<std::unique_ptr<DbColumnDef>> columns_;
  bool open_ = false;
  bool adding_ = false;
  bool bulk_load_ = false;
  std::unique_ptr<DbDriverState> driver_state_;
  uint32_t user_word_ = 0;
  bool fetched_ = false;
  // The record holds the row at cursor_.last_fetched as the driver gave it (whatever the hint),
  // so writing it back over that row is safe.
  bool holds_row_ = false;
  // False after a failed fetch or write and after an insert, when the driver's cursor may stand
  // anywhere: the next fetch then moves absolutely instead of stepping from the last fetched row.
  bool driver_in_step_ = true;
};

}  // namespace ledgerix
