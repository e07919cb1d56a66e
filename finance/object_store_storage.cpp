#include "finance/object_store_storage.h"

#include <algorithm>
#include <string>
#include <vector>

#include "access/db_connection.h"
#include "access/object_store_catalog.h"
#include "access/object_store_values.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"

namespace ledgerix {
namespace {

// The name under which the store's copy is kept in a folder.
constexpr char kStoreCopyName[] = "\\object store.db";

// Converts a record's properties into a row by the table's columns (over the values the row
// holds, one per column); false when the record does not have one property per column or a
// property does not convert.
bool RowOf(const std::vector<platform::Property>& properties, const DbTableSchema& table,
           std::vector<DbValue>* row, DbString* scratch) {
  if (properties.size() != table.columns.size()) return false;
  for (size_t i = 0; i < properties.size(); ++i) {
    const DbValueType type = table.columns[i]->Type();
    DbValue& field = (*row)[i];
    if (field.Type() != type) field = DbValue(type);
    if (!PropertyToField(properties[i], type, &field, scratch)) return false;
  }
  return true;
}

// True when RowOf would convert the record, without converting it.
bool RowConverts(const std::vector<platform::Property>& properties, const DbTableSchema& table) {
  if (properties.size() != table.columns.size()) return false;
  for (size_t i = 0; i < properties.size(); ++i) {
    if (!PropertyConverts(properties[i], table.columns[i]->Type())) return false;
  }
  return true;
}

// True when every database of the store is one of `names`.
bool HoldsOnly(platform::ObjectStore& store, const std::vector<std::u16string>& names) {
  for (const platform::DatabaseInfo& info : store.ListDatabases()) {
    if (std::find(names.begin(), names.end(), info.name) == names.end()) return false;
  }
  return true;
}

}  // namespace

StorageAccess ObjectStoreStorage::CheckAccess(const DbString& name) {
  (void)name;  // the store holds every database: it is writable or not as a whole
  if (env_.Objects() != nullptr) return StorageAccess::kWritable;
  const uint32_t error = env_.LastError();
  if (error == platform::winerr::kAccessDenied || error == platform::winerr::kWriteProtect) {
    return Failed(env_, StorageAccess::kReadOnly);
  }
  return StorageAccess::kWritable;
}

bool ObjectStoreStorage::PutBackUnfinishedChange(const DbString& name) {
  static_cast<void>(name);
  return true;
}

StoredCatalog ObjectStoreStorage::ReadCatalog(const DbString& name, DbSchema* out) {
  out->Clear();
  platform::ObjectStore* store = env_.Objects();
  if (store == nullptr) return Failed(env_, StoredCatalog::kStoreDamaged);
  std::unique_ptr<platform::ObjectStoreDatabase> catalog = store->OpenDatabase(StoreNameOf(name));
  if (catalog == nullptr) return StoredCatalog::kAbsent;
  uint32_t skipped = 0;
  if (!ledgerix::ReadCatalog(*catalog, out, &skipped) || skipped > 0 || out->Count() == 0) {
    return StoredCatalog::kDamaged;
  }
  return StoredCatalog::kWhole;
}

TableScan ObjectStoreStorage::ScanRows(const DbTableSchema& table, const StoredRowVisitor& visit) {
  TableScan scan;
  platform::ObjectStore* store = env_.Objects();
  if (store == nullptr) {
    scan.sound = Failed(env_, false);
    return scan;
  }
  std::unique_ptr<platform::ObjectStoreDatabase> database =
      store->OpenDatabase(StoreNameOf(table.name));
  if (database == nullptr) return scan;
  scan.present = true;
  // The driver opens a table only in the order of its first column.
  if (table.columns.empty() ||
      database->info().sort !=
          platform::SortOrder{0, PropertyKindOf(table.columns.front()->Type())}) {
    scan.sound = false;
  }
  std::vector<platform::Property> properties;
  std::vector<DbValue> row(table.columns.size());
  DbString scratch;
  for (bool on = database->SeekFirst(); on; on = database->SeekNext()) {
    const bool readable =
        database->ReadCurrent(&properties) &&
        (visit ? RowOf(properties, table, &row, &scratch) : RowConverts(properties, table));
    if (!readable) {
      ++scan.unreadable;
      continue;
    }
    ++scan.rows;
    if (visit) visit(row);
  }
  // A count that disagrees with the records would make the driver show too few rows, or walk
  // on past the last one.
  if (database->RecordCount() != scan.rows + scan.unreadable) scan.sound = false;
  return scan;
}

bool ObjectStoreStorage::CopyInto(const DbString& name, const DbString& folder) {
  (void)name;  // the store is copied whole
  DbString path(folder);
  path.Append(kStoreCopyName);
  return env_.BackupObjectStore(path.Wide()) || Failed(env_, false);
}

bool ObjectStoreStorage::Delete(const DbString& name, const DbSchema& tables, bool copy_kept) {
  if (env_.Objects() == nullptr) return env_.ResetObjectStore() || Failed(env_, false);
  // The driver deletes what the catalog names; what it no longer names (or a catalog that does
  // not read) is deleted by name.
  static_cast<void>(DbConnection(env_, DriverKind::kObjectStore).DeleteDatabase(name));
  platform::ObjectStore* store = env_.Objects();
  if (store == nullptr) return Failed(env_, false);
  std::vector<std::u16string> names = {StoreNameOf(name)};
  for (uint32_t i = 0; i < tables.Count(); ++i) names.push_back(StoreNameOf(tables.At(i)->name));
  for (const std::u16string& database : names) {
    if (store->DatabaseExists(database) && !store->DeleteDatabase(database)) {
      // A store damaged where reading does not look (an index that lost an entry) refuses the
      // delete. Starting it afresh loses nothing when a copy of it was kept, or when it holds
      // nothing but what was to be deleted.
      if (!copy_kept && !HoldsOnly(*store, names)) return Failed(env_, false);
      return env_.ResetObjectStore() || Failed(env_, false);
    }
  }
  return true;
}

bool ObjectStoreStorage::HoldsOtherData() {
  platform::ObjectStore* store = env_.Objects();
  return store != nullptr && !store->ListDatabases().empty();
}

bool ObjectStoreStorage::StartAfresh() { return env_.ResetObjectStore() || Failed(env_, false); }

}  // namespace ledgerix
