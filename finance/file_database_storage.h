#pragma once
// The file database as opening the finance database sees it beside its driver: the catalog file
// and the table files of fixed-size row slots in the database folder, read and copied as bytes.

#include "finance/stored_database.h"

namespace ledgerix {

class FileDatabaseStorage : public StoredDatabase {
 public:
  // `env` must outlive the object.
  explicit FileDatabaseStorage(platform::Env& env) : env_(env) {}

  // kReadOnly when a file of the folder, or the folder itself (a probe file cannot be made in
  // it), may not be written; kUnusable when the folder cannot be made or reached.
  StorageAccess CheckAccess(const DbString& name) override;
  // Puts the rollback journal's records back into the table files and empties it.
  [[nodiscard]] bool PutBackUnfinishedChange(const DbString& name) override;
  // kAbsent when there is no catalog file; kDamaged when it does not decode whole.
  StoredCatalog ReadCatalog(const DbString& name, DbSchema* out) override;
  // The table file's slots of 18 bytes per column, each decoded by the columns; a slot that
  // does not decode, and bytes after the last whole slot, are unreadable. Not present when the
  // file is missing.
  TableScan ScanRows(const DbTableSchema& table, const StoredRowVisitor& visit) override;
  // The catalog file, the rollback journal when there is one, and every table file of the
  // folder (not only those the catalog names: the catalog may be what is damaged).
  [[nodiscard]] bool CopyInto(const DbString& name, const DbString& folder) override;
  // Through the driver, then the catalog file and the files of `tables` one by one.
  [[nodiscard]] bool Delete(const DbString& name, const DbSchema& tables, bool copy_kept) override;
  // False: Delete already removes every file the database is kept in, and the files made anew
  // carry nothing of the old ones.
  [[nodiscard]] bool StartAfresh() override;
  // False: the tables are files of their own, made anew whatever lies beside them.
  bool HoldsOtherData() override;

 private:
  platform::Env& env_;
};

}  // namespace ledgerix
