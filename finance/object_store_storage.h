#pragma once
// The object store as opening the finance database sees it beside its driver: the catalog
// database and one platform database per table, read record by record, and the whole store
// copied and reset when it does not open.

#include "finance/stored_database.h"

namespace ledgerix {

class ObjectStoreStorage : public StoredDatabase {
 public:
  // `env` gives the store and must outlive the object.
  explicit ObjectStoreStorage(platform::Env& env) : env_(env) {}

  // kReadOnly when the store does not open because it may not be written; kWritable otherwise
  // (a store that does not open for any other reason is damaged, which ReadCatalog reports).
  StorageAccess CheckAccess(const DbString& name) override;
  // Nothing to do: the store puts back what its log holds as it opens.
  [[nodiscard]] bool PutBackUnfinishedChange(const DbString& name) override;
  // kStoreDamaged when the store does not open; kAbsent when it holds no catalog of that name;
  // kDamaged when a record of the catalog is not a table description or it describes none.
  StoredCatalog ReadCatalog(const DbString& name, DbSchema* out) override;
  // The records of the table's platform database, walked from the first to the last; a record
  // without exactly one property per column, or whose properties do not convert to the column
  // types, is unreadable. Unsound when the store's count of the records differs from the
  // records walked, or when the database is not kept in the order of its first column.
  TableScan ScanRows(const DbTableSchema& table, const StoredRowVisitor& visit) override;
  // The whole store, as one file "object store.db" in the folder.
  [[nodiscard]] bool CopyInto(const DbString& name, const DbString& folder) override;
  // Through the driver, then the catalog and the databases of `tables` by name; a store that
  // does not open is reset (emptied) instead, and so is one that refuses a delete (damage that
  // reading does not meet) when a copy was kept or it holds nothing but those databases.
  [[nodiscard]] bool Delete(const DbString& name, const DbSchema& tables, bool copy_kept) override;
  // Resets the store: its files are removed and the next use starts an empty one.
  [[nodiscard]] bool StartAfresh() override;
  // True when the store opens and holds any database at all.
  bool HoldsOtherData() override;

 private:
  platform::Env& env_;
};

}  // namespace ledgerix
