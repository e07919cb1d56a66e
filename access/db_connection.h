#pragma once
// DbConnection: one database as the program uses it. It owns the storage driver chosen by its
// kind, opens the database through it and hands out the record sets that walk its tables.

#include <functional>
#include <memory>

#include "engine/db_driver.h"
#include "engine/db_record_set.h"
#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

class DbConnection : public DbDriverHost {
 public:
  // Makes the driver of a kind (null when there is none); CreateDriver unless a test says
  // otherwise.
  using DriverFactory =
      std::function<std::unique_ptr<DbDriver>(DriverKind kind, platform::Env& env)>;

  // Empty texts, not open, then SetKind(kind). `env` (the files the drivers use) must outlive
  // the connection.
  DbConnection(platform::Env& env, DriverKind kind);
  DbConnection(platform::Env& env, DriverKind kind, DriverFactory factory);
  DbConnection(const DbConnection&) = delete;
  DbConnection& operator=(const DbConnection&) = delete;
  // Forgets the texts and destroys the driver, which closes whatever it holds open.
  ~DbConnection() override;

  // A new record set bound to this connection, or null when `flag` is 0. The caller owns it and
  // must destroy it before the connection.
  virtual std::unique_ptr<DbRecordSet> CreateRecordSet(int flag);
  // Opens the database `name` through the driver. The connection string is the name, then
  // ";UID=" and the user when the user is not empty, and only then ";PWD=" and the password
  // when that is not empty. Answers IsOpen().
  [[nodiscard]] virtual int Open(DbString name, DbString user, DbString password);
  // Closes the driver's database when there is a driver, empties the texts and clears the
  // open flag. Always 1.
  virtual int Close();
  // The owned driver, or null.
  DbDriver* Driver() override;
  // 1 when a driver exists, the last Open succeeded and the driver reports itself open.
  virtual int IsOpen();
  DriverKind Kind() const override;
  // Destroys any driver (callers close first), keeps the kind and creates its driver. Answers
  // 1 when a driver now exists, else 0.
  [[nodiscard]] int SetKind(DriverKind kind);

  // Creates the database `name` from `schema` through the connection's driver
  // (DbDriver::CreateDatabase); 0 without a driver. Call it while the connection is closed.
  [[nodiscard]] int CreateDatabase(const DbString& name, const DbSchema& schema);
  // Deletes the database `name` through the driver (DbDriver::DeleteDatabase); 0 without a
  // driver. Call it while the connection is closed.
  [[nodiscard]] int DeleteDatabase(const DbString& name);

  // The driver's transaction over the open database (DbDriver::BeginTransaction and the rest);
  // 0 when not open or without a driver. DbTransaction holds one for a scope.
  [[nodiscard]] int BeginTransaction();
  [[nodiscard]] int CommitTransaction();
  [[nodiscard]] int RollbackTransaction();
  bool InTransaction() const;

  // The text handed to the driver's Open: empty until Open, and again after Close.
  const DbString& ConnectionString() const { return connection_string_; }
  const DbString& UserName() const { return user_name_; }

 private:
  static constexpr uint32_t kTextCapacity = 200;

  void ForgetTexts();

  platform::Env& env_;
  DriverFactory factory_;
  DriverKind kind_ = DriverKind::kNull;
  bool open_ = false;
  DbString connection_string_{kTextCapacity};
  DbString user_name_{kTextCapacity};
  DbString password_{kTextCapacity};
  std::unique_ptr<DbDriver> driver_;
};

}  // namespace ledgerix
