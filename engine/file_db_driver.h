#pragma once
// FileDbDriver: the program's own file storage (driver kind 6). A database is a catalog file and
// one table file of fixed-size row slots per table, in the folder "tolvena_db" beside the
// program; every table is kept in ascending order of its first column. Every change of a table
// file goes through the database's rollback journal (TableJournal): a write outside a
// transaction is a transaction of its own, so a kill or a failing disk never leaves a table half
// changed, and the next Open puts back whatever an unfinished transaction had changed.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "engine/db_driver.h"
#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "engine/db_value.h"
#include "engine/held_rows.h"
#include "engine/table_file.h"
#include "engine/table_journal.h"
#include "engine/table_write_generations.h"
#include "platform/env.h"

namespace ledgerix {

class FileDbDriver : public DbDriver {
 public:
  // A driver without an open database; the Env must outlive it and every record set it serves.
  explicit FileDbDriver(platform::Env& env);
  FileDbDriver(const FileDbDriver&) = delete;
  FileDbDriver& operator=(const FileDbDriver&) = delete;
  // Close().
  ~FileDbDriver() override;

  // Puts back what the database's journal holds (a transaction that did not commit), loads the
  // catalog of the database named by the whole connection string (which must exist and hold at
  // least one readable table) and creates the missing table files of its tables. 1 on success;
  // otherwise the driver is left closed and 0 answered (also when the journal could not be put
  // back: the tables are then not to be read).
  [[nodiscard]] int Open(const DbString& connection_string) override;
  // Rolls back a transaction still running and forgets the catalog. 0 when no database was
  // open, else 1. Record sets that still hold a table can no longer change it.
  int Close() override;
  // Opens the table whose name equals `query_text` exactly: defines the record set's columns
  // from the catalog, attaches a TableFile as its driver state and stores the row count.
  // 0 without a record set or an open database, for an unknown table, or when the table file
  // cannot be opened or is not a whole number of slots.
  [[nodiscard]] int OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                               uint32_t* out_row_count) override;
  // Moves the table's current row by the move code and decodes the slot into the record set's
  // fields (hint + 1 columns, all for a hint of -1). 0 when the slot lies beyond the file or
  // cannot be decoded.
  // A walk over the table file's slots from the first, each decoded as Fetch decodes it.
  [[nodiscard]] int ScanRows(DbRecordSet* record_set, uint64_t columns,
                             const ScanVisitor& visit) override;
  [[nodiscard]] int Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index,
                          int hint) override;
  // kWriteDelete removes the current row's slot. kWriteInsert inserts the fields as a new slot
  // in order of the first column (after the equal rows the search meets). Any other mode writes
  // the fields' encoding over the current slot, keeping the slot's remaining bytes. A row whose
  // encoding is longer than a slot is never stored. 1 when the file was changed as asked; on 0
  // the table file is as it was. `row_number` is unused.
  [[nodiscard]] int Write(DbRecordSet* record_set, int mode, uint32_t row_number) override;
  // Closes and destroys the record set's TableFile. 0 without a record set or an open
  // database; 1 otherwise (also when no table was open in it).
  [[nodiscard]] int CloseCursor(DbRecordSet* record_set) override;
  // 1 while a catalog is loaded.
  int IsOpen() override { return catalog_ != nullptr ? 1 : 0; }
  // The table name alone; the condition is ignored (this driver reads whole tables).
  void BuildQuery(DbString* out_text, const char* table_name, const char* condition) override;
  // Empties the table open in the record set. 1 when the file was truncated to 0 bytes.
  [[nodiscard]] int DeleteAllRows(DbRecordSet* record_set) override;
  // A bulk load works on the table file in memory (TableFile::BeginDeferred), its rows held in
  // chunks (HeldRows): each row is placed as a sorted insert places it, moving neither the rest
  // of the file on disk nor the rest of the table in memory, whatever order the rows come in.
  // EndBulkLoad writes the file once, byte for byte what the inserts one by one would leave.
  // Anything else the record set does meanwhile (a fetch, a delete) first puts the held rows
  // into the table in memory and goes on there.
  // Begin: 0 when no table is open or its file cannot be read. End: 1 when written; 0 when the
  // write failed, and then the file holds what it held when the load began.
  // Inside a transaction the load belongs to it: ended after the transaction, it stores nothing.
  int BeginBulkLoad(DbRecordSet* record_set) override;
  [[nodiscard]] int EndBulkLoad(DbRecordSet* record_set) override;
  // When the added rows can take the removed rows' places one for one in order of the first
  // column (a day stored back with its kinds unchanged), they are written over those slots in
  // place. Otherwise one rewrite of the table file from the first changed row on
  // (TableFile::ReplaceSlots), each added row after every row whose first column is not greater
  // than its own. Either way rows of one key keep the order they were added in.
  [[nodiscard]] int ReplaceRows(DbRecordSet* record_set, std::span<const uint32_t> removed,
                                std::span<const DbString> added) override;

  // Transactions over every table of the open database, kept by the journal (TableJournal).
  // Begin: 0 when no database is open, one runs already, or an earlier one could not yet be
  // put back. Commit syncs the changed tables and empties the journal; 0 when that failed or
  // a bulk load begun inside still runs, and then every write of it is taken back.
  [[nodiscard]] int BeginTransaction() override;
  [[nodiscard]] int CommitTransaction() override;
  [[nodiscard]] int RollbackTransaction() override;
  bool InTransaction() const override;

  // Creates the database `name` from `schema`: one empty table file per table (replacing any
  // file of that name) and the catalog; a journal left under that name is deleted. 0 for an empty
  // name and when the catalog exists already (nothing is touched then). Stops at the first table
  // without a name or columns; unless every table was created, everything created is deleted again
  // and 0 answered. An empty schema gives an empty catalog and 1.
  [[nodiscard]] int CreateDatabase(const DbString& name, const DbSchema& schema) override;
  // Deletes the table files named in the catalog of `name`, then the journal and the catalog.
  // 1 when none of them remains (missing files are no error); 0 for an empty name, or when a
  // file could not be deleted, and then the catalog is kept, naming what is left.
  [[nodiscard]] int DeleteDatabase(const DbString& name) override;

 private:
  // What a sorted insert compares each probed row with.
  struct SearchContext {
    DbValue key;
    uint32_t column = 0;
    DbRecordSet* record_set = nullptr;
    int32_t insert_position = -1;
    bool failed = false;             // a probed row could not be read or decoded
    const HeldRows* held = nullptr;  // the rows probed, when held; else the table file's
  };

  // A row for ReplaceRows: its first column and its slot.
  struct AddedRow {
    DbValue key;
    std::string slot;
  };

  // The record set's TableFile, or null.
  static TableFile* TableOf(DbRecordSet* record_set);
  // TableOf when a database is open and the record set has a table open; else null.
  TableFile* OpenTableOf(DbRecordSet* record_set) const;
  [[nodiscard]] int Overwrite(TableFile* table);
  [[nodiscard]] int Insert(DbRecordSet* record_set, TableFile* table);
  // Holds the rows of the table being bulk loaded in `record_set`; false (nothing held) when a
  // row cannot be read or its key decoded, and then the load inserts into the file's image.
  bool HoldRows(DbRecordSet* record_set, TableFile* table);
  // Puts the rows held for `record_set` (if any) into its table's image and stops holding
  // them. False when they could not be put there.
  [[nodiscard]] bool Settle(DbRecordSet* record_set);
  // Places the encoded row of `record_set` among its held rows.
  [[nodiscard]] int InsertHeld(DbRecordSet* record_set, TableFile* table, HeldRows* held);
  // Binary search over `row_count` rows; answers the index before which the new row goes.
  int32_t FindInsertPosition(uint32_t row_count);
  // Compares row `row` of the searched table with the key: -1 when the row goes before it, 0
  // when equal, 1 when after; sets the insert position after (or, for 1, before) that row.
  int CompareRow(int32_t row);
  // 1 when the added rows (sorted by key) can take the places of the removed rows one for one
  // with the table still in order of its first column, so that the rows are written in place;
  // 0 when not; -1 when a row could not be read.
  static int FitsRemovedSlots(TableFile* table, DbValueType key_type,
                              std::span<const int64_t> removed, std::span<const AddedRow> added);
  // The number of rows of `table` (`rows` of them) whose first column, of type `type`, is not
  // greater than `key`: the row before which a row of that key goes after all of its equals.
  // -1 when a row could not be read or decoded.
  static int64_t RowsNotAfter(TableFile* table, int64_t rows, DbValueType type, const DbValue& key);
  // CompareRow's answer for the probed row's key `value`.
  int Placed(const DbValue& value, int32_t row);

  platform::Env& env_;
  SearchContext search_;
  TableWriteGenerations generations_;
  // The rows of the bulk loads running, by the record set loading.
  std::map<const DbRecordSet*, std::unique_ptr<HeldRows>> held_;
  std::unique_ptr<DbSchema> catalog_;
  // Shared with the TableFiles of the record sets, which may outlive Close.
  std::shared_ptr<TableJournal> journal_;
};

}  // namespace ledgerix
