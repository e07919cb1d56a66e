#pragma once
// The platform's object store: named databases of records made of numbered typed properties,
// each database kept in the order of one sort property, all of them in one SQLite file.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/env.h"
#include "platform/property.h"

struct sqlite3;

namespace ledgerix::platform {

class ObjectStoreDatabase;
class SqliteEnvVfs;
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

// How a store is run; the defaults are the program's.
struct ObjectStoreOptions {
  // The most memory the page cache may take, in KiB. A batch that outgrows it writes its pages
  // into the log before it commits.
  int cache_kib = 32768;
  // Open reads every page of the file to check its structure (PRAGMA quick_check). Off for a
  // process that reads what it needs once and fails on a page that does not read: SQLite checks
  // each page as it reads it, and the store reports a failed read in a walk.
  bool check_pages = true;

  // For a process that reads what it needs once, such as a report on the command line: no page
  // check, and a small cache, whose pages a walk reuses instead of taking fresh memory for every
  // page of the file.
  static constexpr ObjectStoreOptions ReadOnce() {
    return {.cache_kib = 256, .check_pages = false};
  }
};

// One store file, used from one thread. Databases opened from it are meant to be destroyed
// before it; one that outlives it answers failure to everything.
//
// Every file call of the store (its file, the write-ahead log beside it, copies) goes through an
// Env, by device paths (see SqliteEnvVfs), so that a failing disk reaches the store as it
// reaches any other file: the write under way answers failure, and LastFailure() of the Env
// tells why. The store holds its files exclusively while it is open.
//
// Every write is one SQLite transaction committed before the call returns (unless a batch groups
// it with others, see BeginBatch), in WAL mode with synchronous=NORMAL. A commit has then been
// handed to the Env's Write (write(2) on the host), so it sits in the kernel's page cache and
// survives the process being killed (even by SIGKILL); the next open replays it. What NORMAL
// gives up against FULL is only a Sync per commit, which matters for a power cut (the last
// commits may roll back, the file stays consistent) and would cost milliseconds per record —
// minutes when an archive of 50,000 entries is restored record by record. Once the log holds
// about 4 MB of pages, the commit is followed by copying them into the store file with a Sync
// (a checkpoint); one that fails costs the commit nothing, its pages stay in the log. Closing
// the store checkpoints the log into the file and removes it.
class ObjectStore {
  // Only the store can make one, so only Open and OpenDatabase can call the constructors.
  class Key {
    friend class ObjectStore;
    explicit Key() = default;
  };

 public:
  // Opens the store kept in the file at `device_path` of `io`, creating a new store when the
  // file does not exist or is empty; its file calls go through `io` (see RouteIo), which must
  // outlive the store. Answers null when the file cannot be opened for writing (held by another
  // handle among other reasons), cannot be read, is not an SQLite file, is damaged, or holds
  // some other SQLite database; such a file is left as it was. On failure `why`, when given,
  // tells the file call that failed as `io` told it, or, for a file that opens and reads but is
  // no sound store of ours, the call "ObjectStore::Open" with winerr::kInvalidData.
  [[nodiscard]] static std::unique_ptr<ObjectStore> Open(Env& io, std::u16string_view device_path,
                                                         const ObjectStoreOptions& options = {},
                                                         FailureDetail* why = nullptr);

  ObjectStore(Key, sqlite3* db, std::unique_ptr<SqliteEnvVfs> vfs);
  ~ObjectStore();
  ObjectStore(const ObjectStore&) = delete;
  ObjectStore& operator=(const ObjectStore&) = delete;

  // Makes the file calls of the store go through `io` from now on: the Env it was opened with,
  // or one that wraps it and hands file handles on unchanged. `io` must outlive those calls.
  void RouteIo(Env& io);
  // How many of the store's file calls have failed since it was opened, and the last of them as
  // its Env told it (empty before the first), so that a failed write can be told from a refused
  // one.
  uint64_t IoFailureCount() const;
  FailureDetail LastIoFailure() const;

  // Creates an empty database. False when the name is empty or already taken (names compare
  // exactly, code unit by code unit), or when the write fails.
  [[nodiscard]] bool CreateDatabase(std::u16string_view name, uint32_t type_id, SortOrder sort);

  // Opens a database by name, its cursor on the first record. When `sort` is given it must be
  // the database's own sort order, since a database keeps only that one. Null when there is no
  // such database, the sort order differs, or the stored sort order names no property kind (a
  // damaged store; such a database still takes its name and can be deleted). The caller owns
  // the result.
  [[nodiscard]] std::unique_ptr<ObjectStoreDatabase> OpenDatabase(
      std::u16string_view name, std::optional<SortOrder> sort = std::nullopt);

  // Deletes a database and all its records. Databases open on it fail from then on. False when
  // there is no such database or the write fails.
  [[nodiscard]] bool DeleteDatabase(std::u16string_view name);

  // Deletes every record of a database in one transaction, keeping the database with its type
  // id and sort order. Cursors open on it stand before the (now missing) first record. False
  // when there is no such database or the write fails; the records are then all still there.
  [[nodiscard]] bool ClearDatabase(std::u16string_view name);

  bool DatabaseExists(std::u16string_view name);
  // Every database, in the order they were created.
  std::vector<DatabaseInfo> ListDatabases();

  // Groups the writes that follow, to every database of the store, into one transaction until
  // EndBatch, so that loading many records costs one commit instead of one each, and a crash
  // before EndBatch keeps none of them. Each write inside still succeeds or fails on its own (it
  // runs in a savepoint), except that a call failing on the disk (the batch had outgrown the
  // page cache) takes the whole batch back: the open databases count their records afresh and
  // stand before their first record, every later write fails until the outermost batch ends,
  // and EndBatch answers false. Batches nest; only the outermost EndBatch commits. False when
  // the transaction cannot begin.
  [[nodiscard]] bool BeginBatch();
  // Ends a batch. True when the outermost one was committed, or a nested one ended. False when
  // no batch runs, when the batch was taken back by a failed call, or when the commit failed:
  // then every write of the batch is rolled back, and the open databases count their records
  // afresh and stand before their first record.
  [[nodiscard]] bool EndBatch();
  // Ends every batch that runs, nested ones included, taking back all their writes; the open
  // databases count their records afresh and stand before their first record. A database that
  // began one of those batches ends it as a no-op. False when no batch runs or the rollback
  // failed (SQLite then has rolled the transaction back itself or will at the next open).
  [[nodiscard]] bool AbortBatch();
  bool InBatch() const { return batch_depth_ > 0; }
  // How many batches are nested now; 0 outside a batch.
  int BatchDepth() const { return batch_depth_; }
  // How many times AbortBatch ended batches, so that whoever began one can tell that it is gone.
  uint64_t AbortCount() const { return abort_count_; }

  // Writes a consistent copy of the whole store (committed writes only, compacted) as a new
  // store file at `device_path` of the store's Env, which must not exist or be empty. The copy
  // is not synced; the caller syncs it when it must survive a power cut. False when it cannot
  // be written, or inside a batch (a partly written file may then remain for the caller to
  // remove).
  [[nodiscard]] bool WriteCopy(std::u16string_view device_path);

 private:
  friend class ObjectStoreDatabase;
  struct Statements;
  struct DatabaseRow;
  // One write: a transaction of its own, or a savepoint inside a batch.
  class Transaction;

  [[nodiscard]] bool Prepare();
  // Whether the running batch has been taken back by SQLite, as it takes back the whole
  // transaction when a statement (a write, or a read that had to make room in the page cache)
  // fails on the disk. The first time it finds so it marks the batch broken and tells the open
  // databases. False outside a batch.
  bool BatchLost();
  // Deletes every record of the named database and runs `then` on its id (which drops the
  // database or clears its count) in one transaction; then tells the open databases on it.
  [[nodiscard]] bool RemoveRecords(std::u16string_view name, SqliteStatement& then,
                                   void (ObjectStoreDatabase::*tell)());
  std::optional<DatabaseRow> FindDatabase(std::u16string_view name);

  // The record operations behind ObjectStoreDatabase. Each is one transaction, and each tells
  // every open database about the change so that cursors keep their place.
  [[nodiscard]] uint32_t InsertRecord(int64_t database_id, uint16_t sort_property,
                                      const std::vector<Property>& properties);
  [[nodiscard]] bool ReplaceRecord(int64_t database_id, uint16_t sort_property, uint32_t object_id,
                                   const std::vector<Property>& properties);
  [[nodiscard]] bool DeleteRecord(int64_t database_id, uint32_t object_id);
  [[nodiscard]] bool ReadRecord(int64_t database_id, const SortKey& key,
                                std::vector<Property>* out);
  uint32_t CountRecords(int64_t database_id);
  // The key of a record of this database, or nullopt when it has no record with that id.
  std::optional<SortKey> FindRecord(int64_t database_id, uint32_t object_id);
  [[nodiscard]] bool AddToCount(int64_t database_id, int delta);

  void Register(ObjectStoreDatabase* database);
  void Unregister(ObjectStoreDatabase* database);
  // A statement left stepping over rows that a write changes may or may not see the change, and
  // it would hold back the commit of a write made outside a transaction; so before any write
  // every cursor lets go of its statement, to start again from its key when it next moves.
  void ReleaseCursors();
  sqlite3* connection() const { return db_; }

  // Declared first so that it goes last: the connection must be closed before its VFS.
  std::unique_ptr<SqliteEnvVfs> vfs_;
  sqlite3* db_;
  std::unique_ptr<Statements> statements_;
  std::vector<ObjectStoreDatabase*> open_databases_;
  int batch_depth_ = 0;
  bool batch_broken_ = false;  // SQLite took the running batch back after a failed write
  uint64_t abort_count_ = 0;
};

}  // namespace ledgerix::platform
