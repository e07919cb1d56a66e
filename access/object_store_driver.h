#pragma once
// ObjectStoreDriver: driver kind 3, which keeps a database in the platform's object store. Each
// table is one platform database named exactly as the table, its records the rows in the order
// of the first column; one more platform database, the catalog, named after the database,
// describes the tables.

#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/db_driver.h"
#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

namespace platform {
class ObjectStore;
class ObjectStoreDatabase;
}  // namespace platform

// A catalog record describes one table of n columns with 2n + 1 properties: the table name
// (text), then per column its value-kind code (32-bit integer, see object_store_values.h) and
// its name (text). Names cross to the store as 16-bit text through the full Windows-1251 table.
//
// Every operation answers 0 on failure (1 on success unless stated) and leaves no partly opened
// cursor attached to a record set. Each record set with an open table holds its own cursor on the
// table's platform database as its driver state.
class ObjectStoreDriver : public DbDriver {
 public:
  // `env` gives the object store and must outlive the driver and the record sets it served.
  explicit ObjectStoreDriver(platform::Env& env);
  ~ObjectStoreDriver() override;
  ObjectStoreDriver(const ObjectStoreDriver&) = delete;
  ObjectStoreDriver& operator=(const ObjectStoreDriver&) = delete;

  // Closes what is open, then reads the catalog named by the connection string into the schema
  // and keeps the catalog open. Fails when there is no such catalog, a record cannot be read,
  // or a record of an odd number (3 or more) of properties is not a table name followed by
  // pairs of (numeric or boolean code, text name). Records of an even number of properties,
  // or of one, are skipped.
  [[nodiscard]] int Open(const DbString& connection_string) override;
  // Releases the catalog and the schema; 0 when nothing was open. Record sets that still hold a
  // cursor fail from then on until they open a table again.
  int Close() override;
  // Opens the table named exactly `query_text` for the record set: defines its columns, answers
  // its row count and attaches a cursor on its first row. 0 without a record set (so nothing can
  // be executed), when not open, or when the schema has no such table or its platform database
  // does not open.
  [[nodiscard]] int OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                               uint32_t* out_row_count) override;
  // Moves by the move code and reads the row into the record's fields. 0 when the move finds no
  // row, the row has not one property per column, or a property does not convert to its
  // column's type. After the last fetched row was written over with a new first column (and so
  // moved within the order), a step to the next or previous row goes to `row_index` instead,
  // the position the record set counts it at.
  // A walk from the first record with the store's own steps.
  [[nodiscard]] int ScanRows(DbRecordSet* record_set, uint64_t columns,
                             const ScanVisitor& visit) override;
  [[nodiscard]] int Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index,
                          int hint) override;
  // kWriteOverwrite writes the fields over the current row, kWriteInsert adds them as a new
  // row (the cursor stays), kWriteDelete deletes the current row: a following fetch that steps
  // to the next row, or moves to the deleted row's index, reads the row that followed it. 0
  // when there is no current row to overwrite or delete, for other modes, and when the store's
  // write fails; every write is committed when this answers.
  [[nodiscard]] int Write(DbRecordSet* record_set, int mode, uint32_t row_number) override;
  // Releases the record set's cursor. 0 when not open.
  [[nodiscard]] int CloseCursor(DbRecordSet* record_set) override;
  int IsOpen() override;
  // The table name alone; the condition is ignored (callers check every row themselves).
  void BuildQuery(DbString* out_text, const char* table_name, const char* condition) override;
  // Empties the table of the record set's cursor in one step; the table stays in the catalog
  // and the record set stays usable for adding. On failure the cursor is released.
  [[nodiscard]] int DeleteAllRows(DbRecordSet* record_set) override;
  // A bulk load is a batch of the store (ObjectStore::BeginBatch) that the record set's cursor
  // holds: the rows are added one by one as ever, but committed together at EndBulkLoad (or
  // when the cursor is released), so a crash in between keeps none of them. Begin: 0 when the
  // record set has no cursor or the batch cannot begin. End: 0 when the commit failed, and then
  // nothing written during the load is kept.
  int BeginBulkLoad(DbRecordSet* record_set) override;
  [[nodiscard]] int EndBulkLoad(DbRecordSet* record_set) override;

  // A transaction is a batch of the store (ObjectStore::BeginBatch) that the driver holds; each
  // write inside is a savepoint of it, so a failed write takes back only itself. A commit with a
  // bulk load still running inside takes everything back and answers 0. Close rolls back.
  [[nodiscard]] int BeginTransaction() override;
  [[nodiscard]] int CommitTransaction() override;
  [[nodiscard]] int RollbackTransaction() override;
  bool InTransaction() const override { return in_transaction_; }

  // Creates the catalog `name` and an empty platform database per table. 0 when there is no
  // store, the name is empty, a database of that name exists already (it is left alone), or a
  // table cannot be created (an empty name, no columns, a name already taken); then everything
  // this call created is deleted again and nothing else is touched. An empty schema gives a
  // catalog without tables.
  [[nodiscard]] int CreateDatabase(const DbString& name, const DbSchema& schema) override;
  // Deletes every table database that a record of the catalog `name` names, then the catalog.
  // 1 when none of them remains (missing databases are no error, nor is a store that does not
  // open); 0 when one could not be deleted, and then the catalog is kept, naming what is left.
  [[nodiscard]] int DeleteDatabase(const DbString& name) override;

 private:
  class Cursor;

  platform::ObjectStore* Store();
  // The driver's cursor attached to a record set, or null.
  static Cursor* CursorOf(DbRecordSet* record_set);
  // Decodes the record the cursor's table stands on into the record set's fields.
  // `columns` as for ScanRows: the fields to read.
  static bool ReadCurrentRow(DbRecordSet* record_set, Cursor* cursor, uint64_t columns = 0);
  // Decodes a record's stored bytes into the record set's fields (`columns` as for ScanRows;
  // numbers and texts straight from the bytes, anything else through decoded properties): 1
  // when read, 0 for damaged bytes or a property the column cannot take.
  static int DecodeStoredRow(DbRecordSet* record_set, Cursor* cursor, std::string_view bytes,
                             uint64_t columns);
  // Every field from the cursor's decoded properties: 1, or 0 when one cannot be converted.
  static int FieldsFromProperties(DbRecordSet* record_set, Cursor* cursor);

  platform::Env& env_;
  std::unique_ptr<platform::ObjectStoreDatabase> catalog_;
  std::unique_ptr<DbSchema> schema_;
  bool in_transaction_ = false;
  uint64_t transaction_aborts_ = 0;  // the store's AbortCount when the transaction began
};

}  // namespace ledgerix
