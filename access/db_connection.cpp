#include "access/db_connection.h"

#include <utility>

#include "access/driver_factory.h"
#include "access/object_store_driver.h"
#include "engine/file_db_driver.h"

namespace ledgerix {

DbConnection::DbConnection(platform::Env& env, int kind) : DbConnection(env, kind, CreateDriver) {}

DbConnection::DbConnection(platform::Env& env, int kind, DriverFactory factory)
    : env_(env), factory_(std::move(factory)) {
  SetKind(kind);
}

DbConnection::~DbConnection() {
  ForgetTexts();
  open_ = false;
  driver_.reset();
}

int DbConnection::SetKind(int kind) {
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
  if (auto* files = dynamic_cast<FileDbDriver*>(driver_.get())) {
    return files->CreateDatabase(name, schema);
  }
  if (auto* objects = dynamic_cast<ObjectStoreDriver*>(driver_.get())) {
    return objects->CreateDatabase(name, schema);
  }
  return 0;
}

int DbConnection::DeleteDatabase(const DbString& name) {
  if (auto* files = dynamic_cast<FileDbDriver*>(driver_.get())) return files->DeleteDatabase(name);
  if (auto* objects = dynamic_cast<ObjectStoreDriver*>(driver_.get())) {
    return objects->DeleteDatabase(name);
  }
  return 0;
}

DbDriver* DbConnection::Driver() { return driver_.get(); }

int DbConnection::IsOpen() { return driver_ != nullptr && open_ && driver_->IsOpen() != 0 ? 1 : 0; }

int DbConnection::Kind() const { return kind_; }

}  // namespace ledgerix
