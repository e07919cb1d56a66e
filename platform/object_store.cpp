#include "platform/object_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>

#include "platform/object_store_database.h"
#include "platform/property_record.h"
#include "platform/sort_key.h"
#include "platform/sqlite_env_vfs.h"
#include "platform/sqlite_statement.h"
#include "platform/utf8.h"

namespace ledgerix::platform {
namespace {

constexpr char kFormat[] = "ledgerix object store 1";

// The records of one database lie together in sort order (the primary key of a table without
// rowid is its storage order, and sort_key is a SortKey, whose bytes compare in sort order), so
// a cursor walks them as one range scan. The index on object ids serves writes over and deletes
// of a given record.
constexpr char kSchema[] = R"sql(
CREATE TABLE store_info(key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
CREATE TABLE databases(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  name BLOB NOT NULL UNIQUE,
  type_id INTEGER NOT NULL,
  sort_property INTEGER NOT NULL,
  sort_kind INTEGER NOT NULL,
  record_count INTEGER NOT NULL DEFAULT 0);
CREATE TABLE records(
  database_id INTEGER NOT NULL,
  sort_key BLOB NOT NULL,
  object_id INTEGER NOT NULL,
  properties BLOB NOT NULL,
  PRIMARY KEY (database_id, sort_key)) WITHOUT ROWID;
CREATE UNIQUE INDEX records_by_object_id ON records(object_id);
INSERT INTO store_info VALUES ('next_object_id', 1);
)sql";

struct ConnectionCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

// Names are kept as their 16-bit code units, little-endian, so that they compare exactly.
std::string NameBytes(std::u16string_view name) {
  std::string bytes;
  bytes.reserve(name.size() * 2);
  for (char16_t c : name) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::u16string NameFromBytes(const std::string& bytes) {
  std::u16string name(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < name.size(); ++i) {
    name[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                    (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return name;
}

enum class FileState { kEmpty, kStore, kUnusable };

// Why Open refused a file when no file call failed.
FailureDetail RefusedFile(uint32_t error) {
  FailureDetail detail;
  detail.call = "ObjectStore::Open";
  detail.error = error;
  return detail;
}

// Looks at the file without writing to it: a foreign or damaged file must stay as it was.
FileState Inspect(sqlite3* db, bool check_pages) {
  SqliteStatement tables(db, "SELECT count(*) FROM sqlite_schema");
  if (!tables.Step()) return FileState::kUnusable;
  const int64_t table_count = tables.ColumnInt(0);
  tables.Reset();
  if (table_count == 0) return FileState::kEmpty;
  SqliteStatement format(db, "SELECT value FROM store_info WHERE key = 'format'");
  if (!format.Step() || format.ColumnBytes(0) != kFormat) return FileState::kUnusable;
  format.Reset();
  if (!check_pages) return FileState::kStore;
  // A damaged page would otherwise surface later as a walk that fails half-way, when the
  // program has already started on the rows before it.
  SqliteStatement check(db, "PRAGMA quick_check(1)");
  if (!check.Step() || check.ColumnBytes(0) != "ok") return FileState::kUnusable;
  return FileState::kStore;
}

bool UseWal(sqlite3* db, const ObjectStoreOptions& options) {
  SqliteStatement mode(db, "PRAGMA journal_mode = WAL");
  if (!mode.Step() || mode.ColumnBytes(0) != "wal") return false;
  mode.Reset();
  // A page cache that holds ten years of entries (about 5 MB) keeps repeated walks off the
  // file; SQLite grows the cache only as pages are read.
  const std::string cache = "PRAGMA cache_size = " + std::to_string(-options.cache_kib);
  return ExecSql(db, "PRAGMA synchronous = NORMAL") && ExecSql(db, cache.c_str());
}

bool CreateSchema(sqlite3* db) {
  if (!ExecSql(db, "BEGIN IMMEDIATE")) return false;
  bool ok = ExecSql(db, kSchema);
  if (ok) {
    SqliteStatement format(db, "INSERT INTO store_info VALUES ('format', ?1)");
    format.BindText(1, kFormat);
    ok = format.Run();
  }
  if (ok && ExecSql(db, "COMMIT")) return true;
  // Already failing: a rollback that fails too leaves an empty file, which the next open finds.
  static_cast<void>(ExecSql(db, "ROLLBACK"));
  return false;
}

}  // namespace

struct ObjectStore::DatabaseRow {
  int64_t id = 0;
  DatabaseInfo info;
  // False when the stored sort kind names no property kind (a damaged store): the database
  // still takes its name and can be deleted, but it cannot be opened.
  bool openable = true;
};

struct ObjectStore::Statements {
  explicit Statements(sqlite3* db)
      : begin(db, "BEGIN IMMEDIATE"),
        commit(db, "COMMIT"),
        rollback(db, "ROLLBACK"),
        savepoint(db, "SAVEPOINT ledgerix_write"),
        release(db, "RELEASE ledgerix_write"),
        rollback_to(db, "ROLLBACK TO ledgerix_write"),
        next_id(db, "SELECT value FROM store_info WHERE key = 'next_object_id'"),
        set_next_id(db, "UPDATE store_info SET value = ?1 WHERE key = 'next_object_id'"),
        insert_record(db,
                      "INSERT INTO records (database_id, sort_key, object_id, properties) "
                      "VALUES (?1, ?2, ?3, ?4)"),
        update_record(db,
                      "UPDATE records SET sort_key = ?3, properties = ?4 "
                      "WHERE database_id = ?1 AND sort_key = ?2"),
        delete_record(db, "DELETE FROM records WHERE database_id = ?1 AND sort_key = ?2"),
        find_record(db, "SELECT sort_key FROM records WHERE object_id = ?2 AND database_id = ?1"),
        read_record(db, "SELECT properties FROM records WHERE database_id = ?1 AND sort_key = ?2"),
        count(db, "SELECT record_count FROM databases WHERE id = ?1"),
        add_count(db, "UPDATE databases SET record_count = record_count + ?2 WHERE id = ?1"),
        create_database(db,
                        "INSERT INTO databases (name, type_id, sort_property, sort_kind) "
                        "VALUES (?1, ?2, ?3, ?4)"),
        find_database(db,
                      "SELECT id, type_id, sort_property, sort_kind FROM databases "
                      "WHERE name = ?1"),
        delete_database(db, "DELETE FROM databases WHERE id = ?1"),
        delete_records(db, "DELETE FROM records WHERE database_id = ?1"),
        clear_count(db, "UPDATE databases SET record_count = 0 WHERE id = ?1"),
        list_databases(db,
                       "SELECT name, type_id, sort_property, sort_kind FROM databases "
                       "ORDER BY id") {}

  bool valid() const {
    for (const SqliteStatement* s :
         {&begin,           &commit,        &rollback,        &savepoint,      &release,
          &rollback_to,     &next_id,       &set_next_id,     &insert_record,  &update_record,
          &delete_record,   &find_record,   &read_record,     &count,          &add_count,
          &create_database, &find_database, &delete_database, &delete_records, &clear_count,
          &list_databases}) {
      if (!s->valid()) return false;
    }
    return true;
  }

  SqliteStatement begin, commit, rollback;
  SqliteStatement savepoint, release, rollback_to;
  SqliteStatement next_id, set_next_id;
  SqliteStatement insert_record, update_record, delete_record, find_record, read_record;
  SqliteStatement count, add_count;
  SqliteStatement create_database, find_database, delete_database, delete_records, clear_count;
  SqliteStatement list_databases;
};

// Rolled back unless committed. Inside a batch the write is a savepoint of the batch's
// transaction, so that a failed write takes back only its own changes; a batch that SQLite has
// already taken back admits no write.
class ObjectStore::Transaction {
 public:
  explicit Transaction(ObjectStore& store)
      : store_(store),
        statements_(*store.statements_),
        in_batch_(store.InBatch()),
        open_(!(in_batch_ && store.BatchLost()) &&
              (in_batch_ ? statements_.savepoint : statements_.begin).Run()) {}
  // Takes back a write that did not commit. Nothing is left to tell of a rollback that fails:
  // the write has answered failure already, and SQLite takes back a transaction it could not
  // end at the latest when the store is next opened.
  ~Transaction() {
    if (!open_) return;
    if (!in_batch_) {
      static_cast<void>(statements_.rollback.Run());
      return;
    }
    // A failure of the disk has made SQLite take the whole batch back already.
    if (!store_.BatchLost()) {
      static_cast<void>(statements_.rollback_to.Run());
      static_cast<void>(statements_.release.Run());
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool open() const { return open_; }
  bool Commit() {
    if (!open_ || !(in_batch_ ? statements_.release : statements_.commit).Run()) return false;
    open_ = false;
    return true;
  }

 private:
  ObjectStore& store_;
  Statements& statements_;
  bool in_batch_;
  bool open_;
};

std::unique_ptr<ObjectStore> ObjectStore::Open(Env& io, std::u16string_view device_path,
                                               const ObjectStoreOptions& options,
                                               FailureDetail* why) {
  std::string name;
  if (device_path.empty() || !Utf16ToUtf8(device_path, &name)) {
    if (why != nullptr) *why = RefusedFile(winerr::kInvalidName);
    return nullptr;
  }
  auto vfs = std::make_unique<SqliteEnvVfs>(&io);
  // Answers null, telling why: the file call that failed, when one did, else that the file is
  // no store.
  auto fail = [&]() -> std::unique_ptr<ObjectStore> {
    if (why != nullptr) {
      *why = vfs->failure_count() > 0 ? vfs->last_failure() : RefusedFile(winerr::kInvalidData);
    }
    return nullptr;
  };
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(
      name.c_str(), &raw,
      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE,
      vfs->name());
  Connection db(raw);
  if (opened != SQLITE_OK) return fail();
  if (sqlite3_db_readonly(db.get(), "main") != 0) return fail();
  // Before anything is read: an exclusive connection keeps the log's index in its own memory,
  // which the VFS needs (it has no shared memory). (Temporary files, which SQLite opens without
  // a name, the VFS keeps in memory.)
  if (!ExecSql(db.get(), "PRAGMA locking_mode = EXCLUSIVE")) return fail();

  const FileState state = Inspect(db.get(), options.check_pages);
  if (state == FileState::kUnusable) {
    // Closing would otherwise checkpoint a log found beside the file into it, or delete the
    // log: both files must stay as they are for whoever rescues them.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return fail();
  }
  if (!UseWal(db.get(), options)) return fail();
  if (state == FileState::kEmpty && !CreateSchema(db.get())) return fail();

  auto store = std::make_unique<ObjectStore>(Key(), db.release(), std::move(vfs));
  if (!store->Prepare()) {
    if (why != nullptr) *why = store->LastIoFailure();
    return nullptr;
  }
  return store;
}

ObjectStore::ObjectStore(Key, sqlite3* db, std::unique_ptr<SqliteEnvVfs> vfs)
    : vfs_(std::move(vfs)), db_(db) {}

ObjectStore::~ObjectStore() {
  // Writes reported as done are kept even when their batch was not ended.
  if (batch_depth_ > 0) {
    batch_depth_ = 1;
    // Nobody is left to tell of a failed commit: its writes are then taken back as a whole.
    static_cast<void>(EndBatch());
  }
  for (ObjectStoreDatabase* database : open_databases_) database->OnStoreClosed();
  statements_.reset();
  // Every statement is finalized by now, so the connection closes here, before its VFS goes.
  sqlite3_close_v2(db_);
}

void ObjectStore::RouteIo(Env& io) { vfs_->SetIo(&io); }

uint64_t ObjectStore::IoFailureCount() const { return vfs_->failure_count(); }

FailureDetail ObjectStore::LastIoFailure() const { return vfs_->last_failure(); }

bool ObjectStore::Prepare() {
  statements_ = std::make_unique<Statements>(db_);
  return statements_->valid();
}

bool ObjectStore::CreateDatabase(std::u16string_view name, uint32_t type_id, SortOrder sort) {
  if (name.empty() || !IsPropertyKind(static_cast<int>(sort.kind))) return false;
  ReleaseCursors();
  Transaction transaction(*this);
  if (!transaction.open()) return false;
  SqliteStatement& create = statements_->create_database;
  create.BindBlob(1, NameBytes(name));
  create.BindInt(2, type_id);
  create.BindInt(3, sort.property_id);
  create.BindInt(4, static_cast<int>(sort.kind));
  // A taken name fails the UNIQUE constraint.
  return create.Run() && transaction.Commit();
}

std::optional<ObjectStore::DatabaseRow> ObjectStore::FindDatabase(std::u16string_view name) {
  SqliteStatement& find = statements_->find_database;
  StatementScope scope(find);
  find.BindBlob(1, NameBytes(name));
  if (!find.Step()) return std::nullopt;
  const int64_t kind = find.ColumnInt(3);
  DatabaseRow row;
  row.id = find.ColumnInt(0);
  row.info.name = std::u16string(name);
  row.info.type_id = static_cast<uint32_t>(find.ColumnInt(1));
  row.info.sort.property_id = static_cast<uint16_t>(find.ColumnInt(2));
  row.openable = IsPropertyKind(kind);
  if (row.openable) row.info.sort.kind = static_cast<PropertyKind>(kind);
  return row;
}

std::unique_ptr<ObjectStoreDatabase> ObjectStore::OpenDatabase(std::u16string_view name,
                                                               std::optional<SortOrder> sort) {
  std::optional<DatabaseRow> row = FindDatabase(name);
  if (!row || !row->openable || (sort && *sort != row->info.sort)) return nullptr;
  auto database = std::make_unique<ObjectStoreDatabase>(Key(), this, row->id, std::move(row->info));
  if (!database->PrepareScans()) return nullptr;
  database->SeekFirst();
  return database;
}

bool ObjectStore::DeleteDatabase(std::u16string_view name) {
  return RemoveRecords(name, statements_->delete_database, &ObjectStoreDatabase::OnDatabaseDeleted);
}

bool ObjectStore::ClearDatabase(std::u16string_view name) {
  return RemoveRecords(name, statements_->clear_count, &ObjectStoreDatabase::OnCleared);
}

bool ObjectStore::RemoveRecords(std::u16string_view name, SqliteStatement& then,
                                void (ObjectStoreDatabase::*tell)()) {
  std::optional<DatabaseRow> row = FindDatabase(name);
  if (!row) return false;
  ReleaseCursors();
  Transaction transaction(*this);
  if (!transaction.open()) return false;
  statements_->delete_records.BindInt(1, row->id);
  then.BindInt(1, row->id);
  if (!statements_->delete_records.Run() || !then.Run()) return false;
  if (!transaction.Commit()) return false;
  for (ObjectStoreDatabase* database : open_databases_) {
    if (database->id_ == row->id) (database->*tell)();
  }
  return true;
}

bool ObjectStore::BeginBatch() {
  if (batch_depth_ > 0) {
    BatchLost();
    ++batch_depth_;
    return true;
  }
  ReleaseCursors();
  if (!statements_->begin.Run()) return false;
  batch_depth_ = 1;
  return true;
}

bool ObjectStore::EndBatch() {
  if (batch_depth_ == 0) return false;
  BatchLost();
  if (--batch_depth_ > 0) return !batch_broken_;
  if (batch_broken_) {
    // Taken back when its write failed; the databases were told then.
    batch_broken_ = false;
    return false;
  }
  // A statement still stepping would hold back the commit.
  ReleaseCursors();
  if (statements_->commit.Run()) return true;
  // A commit that failed on the disk was taken back by SQLite itself; otherwise this takes it
  // back, and should that fail too, SQLite does at the next open.
  if (sqlite3_get_autocommit(db_) == 0) static_cast<void>(statements_->rollback.Run());
  for (ObjectStoreDatabase* database : open_databases_) database->OnBatchRolledBack();
  return false;
}

bool ObjectStore::AbortBatch() {
  if (batch_depth_ == 0) return false;
  BatchLost();
  batch_depth_ = 0;
  ++abort_count_;
  if (batch_broken_) {
    batch_broken_ = false;
    return true;
  }
  ReleaseCursors();
  const bool rolled_back = statements_->rollback.Run();
  for (ObjectStoreDatabase* database : open_databases_) database->OnBatchRolledBack();
  return rolled_back;
}

bool ObjectStore::BatchLost() {
  if (batch_depth_ == 0) return false;
  if (batch_broken_) return true;
  if (sqlite3_get_autocommit(db_) == 0) return false;
  batch_broken_ = true;
  for (ObjectStoreDatabase* database : open_databases_) database->OnBatchRolledBack();
  return true;
}

bool ObjectStore::WriteCopy(std::u16string_view device_path) {
  std::string name;
  if (device_path.empty() || !Utf16ToUtf8(device_path, &name)) return false;
  // VACUUM refuses to run beside statements that are still stepping.
  ReleaseCursors();
  SqliteStatement vacuum(db_, "VACUUM INTO ?1");
  vacuum.BindText(1, name);
  return vacuum.Run();
}

bool ObjectStore::DatabaseExists(std::u16string_view name) {
  return FindDatabase(name).has_value();
}

std::vector<DatabaseInfo> ObjectStore::ListDatabases() {
  std::vector<DatabaseInfo> list;
  SqliteStatement& select = statements_->list_databases;
  StatementScope scope(select);
  while (select.Step()) {
    DatabaseInfo info;
    info.name = NameFromBytes(select.ColumnBytes(0));
    info.type_id = static_cast<uint32_t>(select.ColumnInt(1));
    info.sort.property_id = static_cast<uint16_t>(select.ColumnInt(2));
    info.sort.kind = static_cast<PropertyKind>(select.ColumnInt(3));
    list.push_back(std::move(info));
  }
  return list;
}

uint32_t ObjectStore::InsertRecord(int64_t database_id, uint16_t sort_property,
                                   const std::vector<Property>& properties) {
  std::string bytes;
  if (!EncodePropertyRecord(properties, &bytes)) return 0;
  ReleaseCursors();
  Transaction transaction(*this);
  if (!transaction.open()) return 0;

  SqliteStatement& next_id = statements_->next_id;
  int64_t object_id = 0;
  {
    StatementScope scope(next_id);
    if (!next_id.Step()) return 0;
    object_id = next_id.ColumnInt(0);
  }
  // Object ids are never handed out twice, so once they run out the store takes no more.
  if (object_id <= 0 || object_id > std::numeric_limits<uint32_t>::max()) return 0;
  const SortKey key = SortKey::Of(properties, sort_property, static_cast<uint32_t>(object_id));

  SqliteStatement& insert = statements_->insert_record;
  insert.BindInt(1, database_id);
  insert.BindBlob(2, key.bytes());
  insert.BindInt(3, object_id);
  insert.BindBlob(4, bytes);
  statements_->set_next_id.BindInt(1, object_id + 1);
  if (!insert.Run() || !statements_->set_next_id.Run()) return 0;
  if (!AddToCount(database_id, 1) || !transaction.Commit()) return 0;

  for (ObjectStoreDatabase* database : open_databases_) {
    if (database->id_ == database_id) database->OnInserted(key);
  }
  return static_cast<uint32_t>(object_id);
}

bool ObjectStore::ReplaceRecord(int64_t database_id, uint16_t sort_property, uint32_t object_id,
                                const std::vector<Property>& properties) {
  std::string bytes;
  if (!EncodePropertyRecord(properties, &bytes)) return false;
  ReleaseCursors();
  Transaction transaction(*this);
  if (!transaction.open()) return false;
  const std::optional<SortKey> old_key = FindRecord(database_id, object_id);
  if (!old_key) return false;
  const SortKey new_key = SortKey::Of(properties, sort_property, object_id);

  SqliteStatement& update = statements_->update_record;
  update.BindInt(1, database_id);
  update.BindBlob(2, old_key->bytes());
  update.BindBlob(3, new_key.bytes());
  update.BindBlob(4, bytes);
  if (!update.Run() || sqlite3_changes(db_) != 1 || !transaction.Commit()) return false;

  for (ObjectStoreDatabase* database : open_databases_) {
    if (database->id_ == database_id) database->OnRewritten(*old_key, new_key);
  }
  return true;
}

bool ObjectStore::DeleteRecord(int64_t database_id, uint32_t object_id) {
  ReleaseCursors();
  Transaction transaction(*this);
  if (!transaction.open()) return false;
  const std::optional<SortKey> key = FindRecord(database_id, object_id);
  if (!key) return false;
  SqliteStatement& remove = statements_->delete_record;
  remove.BindInt(1, database_id);
  remove.BindBlob(2, key->bytes());
  if (!remove.Run() || sqlite3_changes(db_) != 1) return false;
  if (!AddToCount(database_id, -1) || !transaction.Commit()) return false;

  for (ObjectStoreDatabase* database : open_databases_) {
    if (database->id_ == database_id) database->OnRemoved(*key);
  }
  return true;
}

std::optional<SortKey> ObjectStore::FindRecord(int64_t database_id, uint32_t object_id) {
  SqliteStatement& find = statements_->find_record;
  StatementScope scope(find);
  find.BindInt(1, database_id);
  find.BindInt(2, object_id);
  if (!find.Step()) return std::nullopt;
  return SortKey::FromBytes(find.ColumnBytes(0));
}

bool ObjectStore::ReadRecord(int64_t database_id, const SortKey& key, std::vector<Property>* out) {
  SqliteStatement& read = statements_->read_record;
  StatementScope scope(read);
  read.BindInt(1, database_id);
  read.BindBlob(2, key.bytes());
  if (!read.Step()) return false;
  return DecodePropertyRecord(read.ColumnData(0), read.ColumnSize(0), out);
}

uint32_t ObjectStore::CountRecords(int64_t database_id) {
  SqliteStatement& count = statements_->count;
  StatementScope scope(count);
  count.BindInt(1, database_id);
  if (!count.Step()) return 0;
  return static_cast<uint32_t>(std::max<int64_t>(0, count.ColumnInt(0)));
}

bool ObjectStore::AddToCount(int64_t database_id, int delta) {
  SqliteStatement& add = statements_->add_count;
  add.BindInt(1, database_id);
  add.BindInt(2, delta);
  // No row changed means the database is gone, and the record must not be kept.
  return add.Run() && sqlite3_changes(db_) == 1;
}

void ObjectStore::Register(ObjectStoreDatabase* database) { open_databases_.push_back(database); }

void ObjectStore::Unregister(ObjectStoreDatabase* database) {
  std::erase(open_databases_, database);
}

void ObjectStore::ReleaseCursors() {
  for (ObjectStoreDatabase* database : open_databases_) database->ReleaseScan();
}

}  // namespace ledgerix::platform
