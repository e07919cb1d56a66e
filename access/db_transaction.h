#pragma once
// DbTransaction: a transaction of a connection held for one scope, so that every path out of an
// operation that did not commit takes its writes back.

#include "access/db_connection.h"

namespace ledgerix {

class DbTransaction {
 public:
  enum class Mode {
    kBegin,        // begins a transaction of its own; fails while another runs
    kJoinOrBegin,  // joins the transaction that runs, else begins one
  };

  // Begins (or joins) a transaction on the connection, which must outlive this object; active()
  // tells whether it did. A null connection begins nothing. A joined transaction is the
  // outer owner's: Commit only answers whether it is still active, and Rollback leaves it to
  // the owner (who learns of the failure from the operation's result).
  explicit DbTransaction(DbConnection* connection, Mode mode = Mode::kBegin);
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
  bool joined_ = false;
  bool active_ = false;
};

}  // namespace ledgerix
