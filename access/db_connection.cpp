#include "access/db_connection.h"

#include <utility>

#include "access/driver_factory.h"

namespace ledgerix {

DbConnection::DbConnection(platform::Env& env, DriverKind kind)
    : DbConnection(env, kind, CreateDriver) {}

DbConnection::DbConnection(platform::Env& env, DriverKind kind, DriverFactory factory)
    : env_(env), factory_(std::move(factory)) {
  // A kind without a driver leaves the connection without one, and every operation answers 0.
  static_cast<void>(SetKind(kind));
}

DbConnection::~DbConnection() {
  ForgetTexts();
  open_ = false;
  driver_.reset();
}

int DbConnection::SetKind(DriverKind kind) {
  driver_.reset();
  open_ = false;
  kind_ = kind;
  if (factory_) driver_ = factory_(kind, env_);
  return driver_ != nullptr ? 1 : 0;
}

std::unique_ptr<DbRecordSet> DbConnection::CreateRecordSet(int flag) {
  if (flag == 0) return nullptr;
  return std::make_unique<DbRecordSet>(this);
}

int DbConnection::Open(DbString name, DbString user, DbString password) {
  connection_string_ = std::move(name);
  user_name_ = std::move(user);
  password_ = std::move(password);
  if (user_name_.Length() > 0) {
    connection_string_.Append(";UID=");
    connection_string_.AppendString(user_name_);
    if (password_.Length() > 0) {
      connection_string_.Append(";PWD=");
      connection_string_.AppendString(password_);
    }
  }
  // A failed open leaves the connection closed, whatever an earlier open achieved.
  open_ = driver_ != nullptr && driver_->Open(connection_string_) != 0;
  return IsOpen();
}

int DbConnection::Close() {
  if (driver_ != nullptr) driver_->Close();
  ForgetTexts();
  open_ = false;
  return 1;
}

void DbConnection::ForgetTexts() {
  connection_string_.Clear();
  user_name_.Clear();
  password_.Clear();
}

int DbConnection::CreateDatabase(const DbString& name, const DbSchema& schema) {
  return driver_ != nullptr ? driver_->CreateDatabase(name, schema) : 0;
}

int DbConnection::DeleteDatabase(const DbString& name) {
  return driver_ != nullptr ? driver_->DeleteDatabase(name) : 0;
}

int DbConnection::BeginTransaction() { return IsOpen() ? driver_->BeginTransaction() : 0; }

int DbConnection::CommitTransaction() { return IsOpen() ? driver_->CommitTransaction() : 0; }

int DbConnection::RollbackTransaction() {
  return driver_ != nullptr ? driver_->RollbackTransaction() : 0;
}

bool DbConnection::InTransaction() const { return driver_ != nullptr && driver_->InTransaction(); }

DbDriver* DbConnection::Driver() { return driver_.get(); }

int DbConnection::IsOpen() { return driver_ != nullptr && open_ && driver_->IsOpen() != 0 ? 1 : 0; }

DriverKind DbConnection::Kind() const { return kind_; }

}  // namespace ledgerix
