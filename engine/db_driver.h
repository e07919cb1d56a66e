#pragma once
// DbDriver: what every storage driver offers a connection and its record sets; and
// DbDriverHost, the small interface through which a record set reaches the driver of its
// connection (the access layer's connection implements it, so the engine never includes it).

#include <cstdint>
#include <functional>
#include <span>

#include "engine/db_string.h"

namespace ledgerix {

class DbRecord;
class DbRecordSet;
class DbSchema;

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

// What a scan's visitor (DbDriver::ScanRows) asks for next: stop, go on to the next row, or read
// the rest of this row's fields and visit it again.
enum class ScanStep { kStop, kNext, kWholeRow };
using ScanVisitor = std::function<ScanStep(DbRecord*)>;

// Whether a scan's column set (DbDriver::ScanRows) takes column `index`.
inline bool ScanTakesColumn(uint64_t columns, uint32_t index) {
  return columns == 0 || index >= 64 || (columns >> index & 1) != 0;
}

// The storage kinds a connection can be made with. The numbers are those the program has always
// used for them; any other number makes a connection without a driver.
enum class DriverKind : int {
  kNull = 0,
  kSqlText = 2,
  kObjectStore = 3,  // the platform's object store, the default storage
  kNull4 = 4,
  kFileDatabase = 6,  // the program's own file database
};

// Every operation answers non-zero on success and 0 when it failed or is not supported.
class DbDriver {
 public:
  virtual ~DbDriver() = default;

  // Opens the database named by the connection string.
  [[nodiscard]] virtual int Open(const DbString& connection_string) = 0;
  // Releases everything held for the open database.
  virtual int Close() = 0;
  // Prepares `record_set` for reading what `query_text` selects: defines its columns
  // (DefineColumns), attaches the driver's cursor state and stores the row count. With a null
  // record set the text is only executed.
  [[nodiscard]] virtual int OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                                       uint32_t* out_row_count) = 0;
  // Moves the cursor by `move_code` (to `row_index` for kMoveAbsolute) and copies the row into
  // the record set's record. `hint` is the argument given to CurrentRecord.
  [[nodiscard]] virtual int Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index,
                                  int hint) = 0;
  // Writes the record set's fields over the current row, as a new row, or deletes the current
  // row (kWrite...). `row_number` is the 1-based position of the current row.
  [[nodiscard]] virtual int Write(DbRecordSet* record_set, int mode, uint32_t row_number) = 0;
  // Releases the cursor state attached to the record set.
  [[nodiscard]] virtual int CloseCursor(DbRecordSet* record_set) = 0;
  virtual int IsOpen() = 0;
  // The query text that opens `table_name` with `condition` (either may be null or empty).
  virtual void BuildQuery(DbString* out_text, const char* table_name, const char* condition) = 0;
  // Removes every row of the table open in the record set.
  [[nodiscard]] virtual int DeleteAllRows(DbRecordSet* record_set) = 0;

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
  [[nodiscard]] virtual int EndBulkLoad(DbRecordSet* record_set) {
    (void)record_set;
    return 1;
  }

  // Many rows of the table open in the record set removed and added as one change: the rows at
  // the 0-based positions `removed` (ascending, each once) go, and each row of `added` (as
  // DbRecordSet::EncodeRow writes it) is stored where the table's order puts it (among rows of
  // an equal key where the driver sees fit), rows of `added` with equal keys in the order given.
  // 1 when made; 0 when a row cannot be stored or the change failed, and then the table is as
  // it was; -1 when the driver has no such change (the record set then makes it row by row).
  [[nodiscard]] virtual int ReplaceRows(DbRecordSet* record_set, std::span<const uint32_t> removed,
                                        std::span<const DbString> added) {
    (void)record_set;
    (void)removed;
    (void)added;
    return -1;
  }

  // Reads every row of the table open in the record set from the first, each into the record
  // set's fields, and calls visit(record) with the record set's record until it answers kStop:
  // a walk without a move per row. `columns` names the fields to read (bit i for column i; 0,
  // and columns from 64 on, always read); the others may keep any value until visit answers
  // kWholeRow for a row, which reads all of its fields and visits it once more. 1 when the walk
  // ended at the last row or by visit; 0 when a row could not be read; -1 when the driver has
  // no such walk (the record set then moves).
  [[nodiscard]] virtual int ScanRows(DbRecordSet* record_set, uint64_t columns,
                                     const ScanVisitor& visit) {
    (void)record_set;
    (void)columns;
    (void)visit;
    return -1;
  }

  // --- Databases, for the drivers that keep databases of their own -----------------------------
  // Creates the database `name` from `schema`; call it while no database is open. 1 when created;
  // 0 when the driver keeps no databases, when one of that name exists already (it is left
  // alone) or when the creation failed (then nothing of it is left behind).
  [[nodiscard]] virtual int CreateDatabase(const DbString& name, const DbSchema& schema) {
    (void)name;
    (void)schema;
    return 0;
  }
  // Deletes the database `name` with all its tables; call it while no database is open. 1 when
  // none of that name remains; 0 when the driver keeps no databases or a part could not be
  // deleted.
  [[nodiscard]] virtual int DeleteDatabase(const DbString& name) {
    (void)name;
    return 0;
  }

  // --- Transactions ------------------------------------------------------------------------------
  // Groups the writes that follow, through every record set of this driver and to every table of
  // the open database, until CommitTransaction or RollbackTransaction: either all of them are
  // stored or none is, also when the process is killed or the disk fails on the way (the next
  // Open puts back what a transaction that did not commit changed). Each write inside still
  // succeeds or fails on its own, and a failed write leaves the others standing. A bulk load may
  // run inside a transaction. Transactions do not nest.
  // 1 when begun; 0 when no database is open, a transaction runs already, the driver has no
  // transactions, or it cannot begin.
  [[nodiscard]] virtual int BeginTransaction() { return 0; }
  // Stores every write of the transaction at once. 1 when stored; 0 when no transaction runs or
  // the writes could not be stored, and then none of them is kept (as after RollbackTransaction).
  [[nodiscard]] virtual int CommitTransaction() { return 0; }
  // Takes back every write of the transaction. 1 when the tables are as they were when it began;
  // 0 when no transaction runs, or when they could not be put back now (the next Open of the
  // database then puts them back).
  [[nodiscard]] virtual int RollbackTransaction() { return 0; }
  // True while a transaction runs.
  virtual bool InTransaction() const { return false; }
};

// The connection as its record sets see it.
class DbDriverHost {
 public:
  virtual ~DbDriverHost() = default;
  // The connection's driver, or null when it has none.
  virtual DbDriver* Driver() = 0;
  // The driver kind the connection was made with.
  virtual DriverKind Kind() const = 0;
};

// Per-cursor state a driver attaches to a record set while a table is open in it.
class DbDriverState {
 public:
  virtual ~DbDriverState() = default;
  // Appends one encoded row to the end of the table, for drivers that keep rows as bytes.
  // 1 on success; 0 when the driver has no such operation.
  [[nodiscard]] virtual int AppendRow(const DbString& row) {
    (void)row;
    return 0;
  }
};

}  // namespace ledgerix
