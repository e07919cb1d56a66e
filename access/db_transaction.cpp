#include "access/db_transaction.h"

namespace ledgerix {

DbTransaction::DbTransaction(DbConnection* connection)
    : connection_(connection),
      active_(connection != nullptr && connection->BeginTransaction() != 0) {}

DbTransaction::~DbTransaction() { Rollback(); }

bool DbTransaction::Commit() {
  if (!active_) return false;
  active_ = false;
  return connection_->CommitTransaction() != 0;
}

bool DbTransaction::Rollback() {
  if (!active_) return false;
  active_ = false;
  return connection_->RollbackTransaction() != 0;
}

}  // namespace ledgerix
