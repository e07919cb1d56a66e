#pragma once
// DbDriver: what every storage driver offers a connection and its record sets; and
// DbDriverHost, the small interface through which a record set reaches the driver of its
// connection (the access layer's connection implements it, so the engine never includes it).

#include <cstdint>

#include "engine/db_string.h"

namespace ledgerix {

class DbRecordSet;

// How Fetch moves a cursor before it reads the row.
inline constexpr int kMoveNext = 1;
inline constexpr int kMoveFirst = 2;
inline constexpr int kMoveLast = 3;
inline constexpr int kMoveAbsolute = 4;  // to the 0-based row index given
inline constexpr int kMovePrevious = 5;

// What Write does with the record set's current field values.
inline constexpr int kWriteOverwrite = 0;  // over the current row
inline constexpr int kWriteInsert = 1;     // as a new row
inline constexpr int kWriteDelete = 2;     // deletes the current row

// Driver kinds a connection can be made with.
inline constexpr int kDriverNull = 0;
inline constexpr int kDriverSqlText = 2;
inline constexpr int kDriverObjectStore = 3;
inline constexpr int kDriverNull4 = 4;
inline constexpr int kDriverFileDatabase = 6;

// Every operation answers non-zero on success and 0 when it failed or is not supported.
class DbDriver {
 public:
  virtual ~DbDriver() = default;

  // Opens the database named by the connection string.
  virtual int Open(const DbString& connection_string) = 0;
  // Releases everything held for the open database.
  virtual int Close() = 0;
  // Prepares `record_set` for reading what `query_text` selects: defines its columns
  // (DefineColumns), attaches the driver's cursor state and stores the row count. With a null
  // record set the text is only executed.
  virtual int OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                         uint32_t* out_row_count) = 0;
  // Moves the cursor by `move_code` (to `row_index` for kMoveAbsolute) and copies the row into
  // the record set's record. `hint` is the argument given to CurrentRecord.
  virtual int Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index, int hint) = 0;
  // Writes the record set's fields over the current row, as a new row, or deletes the current
  // row (kWrite...). `row_number` is the 1-based position of the current row.
  virtual int Write(DbRecordSet* record_set, int mode, uint32_t row_number) = 0;
  // A row count of the driver's own choosing; nothing in the program relies on it.
  virtual int RowCount(uint32_t* out_count) = 0;
  // Kept free; answers 0.
  virtual int Reserved() = 0;
  // Releases the cursor state attached to the record set.
  virtual int CloseCursor(DbRecordSet* record_set) = 0;
  virtual int IsOpen() = 0;
  // The query text that opens `table_name` with `condition` (either may be null or empty).
  virtual void BuildQuery(DbString* out_text, const char* table_name, const char* condition) = 0;
  // Removes every row of the table open in the record set.
  virtual int DeleteAllRows(DbRecordSet* record_set) = 0;

  // A bulk load into the table open in the record set (an archive being restored): until
  // EndBulkLoad the record set only adds rows. The driver may hold the rows back and store them
  // together; what it stores in the end is exactly what adding them one by one stores, and each
  // row is still refused or taken on its own. 1 when the driver loads in bulk; 0 when it does
  // not, and then the rows are stored one by one as ever.
  virtual int BeginBulkLoad(DbRecordSet* record_set) {
    (void)record_set;
    return 0;
  }
  // Stores what the bulk load of the record set held back. 1 when all of it is stored, or when
  // no bulk load runs; 0 when it could not be stored (see the driver for what is left).
  virtual int EndBulkLoad(DbRecordSet* record_set) {
    (void)record_set;
    return 1;
  }
};

// The connection as its record sets see it.
class DbDriverHost {
 public:
  virtual ~DbDriverHost() = default;
  // The connection's driver, or null when it has none.
  virtual DbDriver* Driver() = 0;
  // The driver kind the connection was made with.
  virtual int Kind() const = 0;
};

// Per-cursor state a driver attaches to a record set while a table is open in it.
class DbDriverState {
 public:
  virtual ~DbDriverState() = default;
  // Appends one encoded row to the end of the table, for drivers that keep rows as bytes.
  // 1 on success; 0 when the driver has no such operation.
  virtual int AppendRow(const DbString& row) {
    (void)row;
    return 0;
  }
};

}  // namespace ledgerix
