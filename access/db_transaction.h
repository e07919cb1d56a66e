#pragma once
// DbTransaction: a transaction of a connection held for one scope, so that every path out of an
// operation that did not commit takes its writes back.

#include "access/db_connection.h"

namespace ledgerix {

class DbTransaction {
 public:
  // Begins a transaction on the connection (which must outlive this object); active() tells
  // whether it began. A null connection begins nothing.
  explicit DbTransaction(DbConnection* connection);
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;
  // Rolls back unless committed.
  ~DbTransaction();

  bool active() const { return active_; }
  // Stores every write of the transaction. True when stored; false when none ran or the commit
  // failed (nothing of the transaction is kept then).
  [[nodiscard]] bool Commit();
  // Takes every write back now. True when the tables are as they were.
  bool Rollback();

 private:
  DbConnection* connection_;
  bool active_ = false;
};

}  // namespace ledgerix
