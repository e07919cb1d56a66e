#include "access/db_transaction.h"

namespace ledgerix {

DbTransaction::DbTransaction(DbConnection* connection, Mode mode)
    : connection_(connection),
      joined_(connection != nullptr && mode == Mode::kJoinOrBegin && connection->InTransaction()),
      active_(joined_ || (connection != nullptr && connection->BeginTransaction() != 0)) {}

DbTransaction::~DbTransaction() { Rollback(); }

bool DbTransaction::Commit() {
  if (!active_) return false;
  active_ = false;
  return joined_ ? connection_->InTransaction() : connection_->CommitTransaction() != 0;
}

bool DbTransaction::Rollback() {
  if (!active_) return false;
  active_ = false;
  return !joined_ && connection_->RollbackTransaction() != 0;
}

}  // namespace ledgerix
