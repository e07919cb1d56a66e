// Opening the finance database: a normal start, creating and seeding a missing database,
// rebuilding one of an older layout through a dated exchange file, and rebuilding one that
// cannot be read after keeping a copy of it.
#include "access/db_connection.h"
#include "access/object_store_catalog.h"
#include "engine/atomic_file.h"
#include "engine/database_folder.h"
#include "finance/backup_names.h"
#include "finance/damaged_copy.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/packed_amount.h"
#include "finance/record_access.h"
#include "finance/salvage.h"
#include "finance/stored_catalog.h"
#include "platform/object_store.h"

namespace ledgerix {
namespace {

constexpr const char* kFinanceTables[] = {kKindsTable, kEntriesTable, kAccountsTable};

bool HasColumn(const DbTableSchema& table, const char* name) {
  DbString wanted(name);
  for (const std::unique_ptr<DbColumnDef>& column : table.columns) {
    if (column->Name().Equals(wanted)) return true;
  }
  return false;
}

// The older layouts: entries without a note, or no accounts table at all. A table of the
// current layout that cannot be read is damage, not age, and must not be converted.
bool IsOlderLayout(const DbSchema& catalog) {
  const DbTableSchema* entries = catalog.Find(kEntriesTable);
  if (catalog.Find(kAccountsTable) == nullptr) return true;
  return entries != nullptr && !HasColumn(*entries, col::kNote);
}

// True when a file exists at the device path and holds at least one byte.
bool FileHasContent(platform::Env& env, const DbString& path) {
  platform::FindData found;
  platform::FindHandle search = env.FindFirst(path.Wide(), &found);
  if (search == platform::kInvalidFindHandle) return false;
  env.FindClose(search);
  return !found.is_directory && found.size > 0;
}

}  // namespace

DriverKind FinanceDb::StorageKind() const {
  return globals_.storage_kind == DriverKind::kFileDatabase ? DriverKind::kFileDatabase
                                                            : DriverKind::kObjectStore;
}

void FinanceDb::CloseConnection() {
  if (connection_ != nullptr && connection_->IsOpen()) connection_->Close();
  connection_.reset();
}

int FinanceDb::Fail() {
  if (connection_ != nullptr) connection_->Close();
  return 0;
}

int FinanceDb::Open(const char* database_name) {
  CloseConnection();
  DbString name(database_name);
  connection_ = std::make_unique<DbConnection>(env_, StorageKind());
  if (!connection_->Open(name, "", "")) return OpenNotAccepted(name);
  DbSchema catalog;
  if (!ReadStoredCatalog(env_, StorageKind(), name, &catalog)) return RebuildDamaged(name, nullptr);
  if (IsOlderLayout(catalog)) return RebuildOlderLayout(name, catalog);
  if (AllTablesOpen()) return 1;
  return RebuildDamaged(name, &catalog);
}

int FinanceDb::OpenNotAccepted(const DbString& name) {
  // Nothing stored under that name: a first start.
  if (!StorageHoldsDatabase(name)) return CreateAndSeed(name);
  // Stored but unreadable (a damaged catalog, an object store that does not open).
  return RebuildDamaged(name, nullptr);
}

bool FinanceDb::StorageHoldsDatabase(const DbString& name) {
  if (StorageKind() == DriverKind::kFileDatabase) {
    if (FileHasContent(env_, DatabaseFilePath(env_, name, kCatalogFileExtension))) return true;
    for (const char* table : kFinanceTables) {
      if (FileHasContent(env_, DatabaseFilePath(env_, DbString(table), kTableFileExtension))) {
        return true;
      }
    }
    return false;
  }
  platform::ObjectStore* store = env_.Objects();
  // A store that does not open may hold the user's data; only its copy can tell.
  if (store == nullptr) return true;
  if (store->DatabaseExists(StoreNameOf(name))) return true;
  for (const char* table : kFinanceTables) {
    if (store->DatabaseExists(StoreNameOf(DbString(table)))) return true;
  }
  return false;
}

int FinanceDb::CreateAndSeed(const DbString& name) {
  if (!RecreateDatabase(name)) return 0;
  if (!SeedDefaults() || !AllTablesOpen()) return Fail();
  return 1;
}

int FinanceDb::RebuildOlderLayout(const DbString& name, const DbSchema& catalog) {
  std::string text;
  bool has_accounts = catalog.Find(kAccountsTable) != nullptr;
  if (!BuildExchangeText(has_accounts, &text)) return Fail();
  // Nothing is deleted before the whole backup is on disk.
  DbString backup = OlderLayoutBackupPath(env_, clock_);
  DbString content{std::string_view(text)};
  if (!EnsureDataFolder(env_) || !ReplaceFileContent(env_, backup, content)) return Fail();
  if (!RecreateDatabase(name)) return 0;
  LoadExchangeText(content);
  ConvertOlderEntries();
  return AllTablesOpen() ? 1 : Fail();
}

void FinanceDb::ConvertOlderEntries() {
  // The older layout had no accounts: everything belonged to the cash account.
  if (!FindAccount(nullptr, 1, DbString())) {
    AccountRecord cash;
    cash.id = 1;
    cash.name = FromUtf8("Наличные");
    AddAccount(cash);
  }
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  if (record_set == nullptr) return;
  // Old counts were whole numbers stored as they were: n becomes the amount n.00.
  ForEachRow(*record_set, [&](DbRecord* record) {
    double count = UnpackAmount(IntField(record, col::kCount)) * 100;
    if (CanPackAmount(count)) SetIntField(record, col::kCount, PackAmount(count));
    SetIntField(record, col::kFirmId, 1);
    record_set->Update();
    return true;
  });
}

int FinanceDb::RebuildDamaged(const DbString& name, const DbSchema* catalog) {
  std::vector<SalvagedTable> salvaged;
  if (catalog != nullptr) SalvageTables(*catalog, &salvaged);
  if (!KeepDamagedCopy(name)) return Fail();
  if (!RecreateDatabase(name)) return 0;
  if (catalog == nullptr) {
    if (!SeedDefaults()) return Fail();
  } else {
    for (const SalvagedTable& table : salvaged) RestoreSalvagedRows(*connection_, table);
  }
  return AllTablesOpen() ? 1 : Fail();
}

void FinanceDb::SalvageTables(const DbSchema& catalog, std::vector<SalvagedTable>* out) {
  for (const char* table : kFinanceTables) {
    const DbTableSchema* stored = catalog.Find(DbString(table));
    if (stored == nullptr) continue;
    SalvagedTable rows;
    bool read = SalvageThroughRecordSet(*connection_, table, &rows);
    // The file database will not open a table whose file is not a whole number of slots; its
    // whole slots can still be read from the file itself.
    if (!read && StorageKind() == DriverKind::kFileDatabase) {
      read = SalvageTableFile(env_, *stored, &rows);
    }
    if (read) out->push_back(std::move(rows));
  }
}

bool FinanceDb::KeepDamagedCopy(const DbString& name) {
  if (StorageKind() == DriverKind::kFileDatabase) return KeepFileDatabaseCopy(env_, clock_, name);
  return KeepObjectStoreCopy(env_, clock_);
}

int FinanceDb::RecreateDatabase(const DbString& name) {
  connection_->Close();
  DeleteStoredDatabase(name);
  DbSchema schema = BuildFinanceSchema();
  if (!connection_->CreateDatabase(name, schema) || !connection_->Open(name, "", "")) {
    connection_->Close();
    DeleteStoredDatabase(name);
    return 0;
  }
  return 1;
}

void FinanceDb::DeleteStoredDatabase(const DbString& name) {
  if (StorageKind() == DriverKind::kObjectStore && env_.Objects() == nullptr) {
    // Reached only after the store was copied (or when it never existed).
    env_.ResetObjectStore();
  }
  // What could not be deleted makes the creation that follows fail.
  static_cast<void>(connection_->DeleteDatabase(name));
  if (StorageKind() != DriverKind::kObjectStore) return;
  // Databases that the catalog no longer lists (or a catalog that cannot be read) would keep
  // their names taken.
  platform::ObjectStore* store = env_.Objects();
  if (store == nullptr) return;
  store->DeleteDatabase(StoreNameOf(name));
  for (const char* table : kFinanceTables) store->DeleteDatabase(StoreNameOf(DbString(table)));
}

bool FinanceDb::AllTablesOpen() {
  for (const char* table : kFinanceTables) {
    if (OpenTable(table) == nullptr) return false;
  }
  return true;
}

}  // namespace ledgerix
