#pragma once
// StoredDatabase: the storage behind one driver kind as opening the finance database sees it,
// beside the driver: whether it can be written, its catalog and its rows read straight from
// storage (never through a count the storage keeps), a copy of everything it holds, and
// deleting a database whole. One implementation per storage kind, chosen once by ForKind, so
// that opening the database never asks which kind it runs on.

#include <functional>
#include <memory>
#include <vector>

#include "engine/db_driver.h"
#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "engine/db_value.h"
#include "platform/env.h"

namespace ledgerix {

enum class StorageAccess {
  kWritable,  // the database can be read and written (as far as can be told without writing it)
  kReadOnly,  // the storage may be read but not written
  kUnusable,  // the storage cannot be reached at all
};

enum class StoredCatalog {
  kAbsent,        // no catalog is stored under the name
  kWhole,         // read and decoded to its end
  kDamaged,       // stored, but it does not decode whole
  kStoreDamaged,  // the storage that holds every table does not open: only a copy can keep it
  kUnreadable,    // stored, but the storage would not give it up (see failure())
};

// What reading the rows of one table found.
struct TableScan {
  bool present = false;     // the table is stored
  uint32_t rows = 0;        // rows read whole
  uint32_t unreadable = 0;  // rows (or the piece of one) stored but not readable
  // False when the table's own bookkeeping is damaged (a count that disagrees with its rows, an
  // order the driver does not keep) or the storage failed part-way.
  bool sound = true;

  bool Whole() const { return present && unreadable == 0 && sound; }
};

// One row of a table: a value per column, typed as the column.
using StoredRowVisitor = std::function<void(const std::vector<DbValue>& row)>;

class StoredDatabase {
 public:
  // The storage of the file database (kFileDatabase) or of the object store (any other kind).
  // `env` must outlive the object.
  static std::unique_ptr<StoredDatabase> ForKind(DriverKind kind, platform::Env& env);

  virtual ~StoredDatabase() = default;

  // Whether the database `name` can be written. Nothing is changed on the way (a probe file
  // that is made is removed again).
  virtual StorageAccess CheckAccess(const DbString& name) = 0;
  // Puts back what a change of the database `name` that never ended (the program killed, the
  // disk failing) had changed, so that what is read next is what the last completed change left.
  // Call it once the storage is known to be writable, before anything of the database is read.
  // False when that could not be done now (see failure()); nothing else may be changed then.
  [[nodiscard]] virtual bool PutBackUnfinishedChange(const DbString& name) = 0;
  // Reads the catalog of `name` into *out (cleared first; filled for kWhole and kDamaged with
  // what decoded).
  virtual StoredCatalog ReadCatalog(const DbString& name, DbSchema* out) = 0;
  // Reads every row of the table as `table` gives its columns, in storage order, handing each
  // row that reads whole to `visit`; with an empty `visit` the rows are only checked, as they
  // would be read, without their values being built. The rows are counted as they are met,
  // whatever count the storage keeps.
  virtual TableScan ScanRows(const DbTableSchema& table, const StoredRowVisitor& visit) = 0;
  // Copies everything the database `name` is kept in, as it is, into the existing folder
  // `folder` (a device path). False when the copy is not whole.
  [[nodiscard]] virtual bool CopyInto(const DbString& name, const DbString& folder) = 0;
  // Deletes the database `name` and whatever is stored under the names of `tables`, also when
  // its catalog cannot be read. Call it only after a copy was kept of anything it may hold.
  // `copy_kept`: a copy of everything the storage holds was kept (CopyInto), so a storage that
  // refuses the delete may be emptied whole. True when none of it remains.
  [[nodiscard]] virtual bool Delete(const DbString& name, const DbSchema& tables,
                                    bool copy_kept) = 0;
  // Empties the storage whole, whatever it holds, for storage that took a delete but refuses
  // what is written next (damage where reading never looks). Call it only after a copy of
  // everything it holds was kept (CopyInto). False when the kind of storage has nothing to
  // empty beyond Delete, or when emptying failed (see failure()).
  [[nodiscard]] virtual bool StartAfresh() = 0;
  // True when the storage holds data beside the finance tables, where damage that reading the
  // tables never meets may make it refuse to take a new database.
  virtual bool HoldsOtherData() = 0;

  // Why the last operation that answered a failure failed.
  const platform::FailureDetail& failure() const { return failure_; }

 protected:
  // Keeps the Env's last failure as failure(); answers `result`.
  template <typename T>
  T Failed(const platform::Env& env, T result) {
    failure_ = env.LastFailure();
    return result;
  }

 private:
  platform::FailureDetail failure_;
};

}  // namespace ledgerix
