#pragma once
// The platform's object store: named databases of records made of numbered typed properties,
// each database kept in the order of one sort property, all of them in one SQLite file.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/property.h"

struct sqlite3;

namespace ledgerix::platform {

class ObjectStoreDatabase;
class SqliteStatement;
class SortKey;

// The order a database keeps its records in: by the value of one property.
struct SortOrder {
  uint16_t property_id = 0;
  PropertyKind kind = PropertyKind::kInt32;  // the kind the property is meant to hold

  bool operator==(const SortOrder& other) const = default;
};

// What the store knows of one named database.
struct DatabaseInfo {
  std::u16string name;
  uint32_t type_id = 0;
  SortOrder sort;
};

// One store file, used from one thread. Databases opened from it are meant to be destroyed
// before it; one that outlives it answers failure to everything.
//
// Every write is one SQLite transaction committed before the call returns (unless a batch groups
// it with others, see BeginBatch), in WAL mode with
// synchronous=NORMAL. A commit has then been written into the WAL file with write(2), so it sits
// in the kernel's page cache and survives the process being killed (even by SIGKILL); the next
// open replays it. What NORMAL gives up against FULL is only an fsync per commit, which matters
// for a power cut (the last commits may roll back, the file stays consistent) and would cost
// milliseconds per record — minutes when an archive of 50,000 entries is restored record by
// record. Closing the store checkpoints the WAL into the main file with an fsync.
class ObjectStore {
  // Only the store can make one, so only Open and OpenDatabase can call the constructors.
  class Key {
    friend class ObjectStore;
    explicit Key() = default;
  };

 public:
  // Opens the store kept in `host_file`, creating a new store when the file does not exist or
  // is empty. Answers null when the file cannot be opened for writing, is not an SQLite file,
  // is damaged, or holds some other SQLite database; such a file is left as it was.
  static std::unique_ptr<ObjectStore> Open(const std::string& host_file);

  ObjectStore(Key, sqlite3* db);
  ~ObjectStore();
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  // Creates an empty database. False when the name is empty or already taken (names compare
  // exactly, code unit by code unit), or when the write fails.
  bool CreateDatabase(std::u16string_view name, uint32_t type_id, SortOrder sort);

  // Opens a database by name, its cursor on the first record. When `sort` is given it must be
  // the database's own sort order, since a database keeps only that one. Null when there is no
  // such database, the sort order differs, or the stored sort order names no property kind (a
  // damaged store; such a database still takes its name and can be deleted). The caller owns
  // the result.
  std::unique_ptr<ObjectStoreDatabase> OpenDatabase(std::u16string_view name,
                                                    std::optional<SortOrder> sort = std::nullopt);

  // Deletes a database and all its records. Databases open on it fail from then on. False when
  // there is no such database or the write fails.
  bool DeleteDatabase(std::u16string_view name);

  // Deletes every record of a database in one transaction, keeping the database with its type
  // id and sort order. Cursors open on it stand before the (now missing) first record. False
  // when there is no such database or the write fails; the records are then all still there.
  bool ClearDatabase(std::u16string_view name);

  bool DatabaseExists(std::u16string_view name);
  // Every database, in the order they were created.
  std::vector<DatabaseInfo> ListDatabases();

  // Groups the writes that follow, to every database of the store, into one transaction until
  // EndBatch, so that loading many records costs one commit instead of one each, and a crash
  // before EndBatch keeps none of them. Each write inside still succeeds or fails on its own (it
  // runs in a savepoint). Batches nest; only the outermost EndBatch commits. False when the
  // transaction cannot begin.
  bool BeginBatch();
  // Ends a batch. True when the outermost one was committed, or a nested one ended. False when
  // no batch runs, or when the commit failed: then every write of the batch is rolled back, and
  // the open databases count their records afresh and stand before their first record.
  bool EndBatch();
  // Ends every batch that runs, nested ones included, taking back all their writes; the open
  // databases count their records afresh and stand before their first record. A database that
  // began one of those batches ends it as a no-op. False when no batch runs or the rollback
  // failed (SQLite then has rolled the transaction back itself or will at the next open).
  bool AbortBatch();
  bool InBatch() const { return batch_depth_ > 0; }
  // How many batches are nested now; 0 outside a batch.
  int BatchDepth() const { return batch_depth_; }
  // How many times AbortBatch ended batches, so that whoever began one can tell that it is gone.
  uint64_t AbortCount() const { return abort_count_; }

  // Writes a consistent copy of the whole store (committed writes only, compacted) as a new
  // store file at `host_file`, which must not exist or be empty. The copy is not synced; the
  // caller syncs it when it must survive a power cut. False when it cannot be written (a
  // partly written file may then remain for the caller to remove).
  bool WriteCopy(const std::string& host_file);

 private:
  friend class ObjectStoreDatabase;
  struct Statements;
  struct DatabaseRow;
  // One write: a transaction of its own, or a savepoint inside a batch.
  class Transaction;

  bool Prepare();
  // Deletes every record of the named database and runs `then` on its id (which drops the
  // database or clears its count) in one transaction; then tells the open databases on it.
  bool RemoveRecords(std::u16string_view name, SqliteStatement& then,
                     void (ObjectStoreDatabase::*tell)());
  std::optional<DatabaseRow> FindDatabase(std::u16string_view name);

  // The record operations behind ObjectStoreDatabase. Each is one transaction, and each tells
  // every open database about the change so that cursors keep their place.
  uint32_t InsertRecord(int64_t database_id, uint16_t sort_property,
                        const std::vector<Property>& properties);
  bool ReplaceRecord(int64_t database_id, uint16_t sort_property, uint32_t object_id,
                     const std::vector<Property>& properties);
  bool DeleteRecord(int64_t database_id, uint32_t object_id);
  bool ReadRecord(int64_t database_id, const SortKey& key, std::vector<Property>* out);
  uint32_t CountRecords(int64_t database_id);
  // The key of a record of this database, or nullopt when it has no record with that id.
  std::optional<SortKey> FindRecord(int64_t database_id, uint32_t object_id);
  bool AddToCount(int64_t database_id, int delta);

  void Register(ObjectStoreDatabase* database);
  void Unregister(ObjectStoreDatabase* database);
  // A statement left stepping over rows that a write changes may or may not see the change, and
  // it would hold back the commit of a write made outside a transaction; so before any write
  // every cursor lets go of its statement, to start again from its key when it next moves.
  void ReleaseCursors();
  sqlite3* connection() const { return db_; }

  sqlite3* db_;
  std::unique_ptr<Statements> statements_;
  std::vector<ObjectStoreDatabase*> open_databases_;
  int batch_depth_ = 0;
  uint64_t abort_count_ = 0;
};

}  // namespace ledgerix::platform
