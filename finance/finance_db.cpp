// FinanceDb: construction, the state of the connection, emptying the tables and the default
// contents of a new database.
#include "finance/finance_db.h"

#include "access/db_connection.h"
#include "access/db_transaction.h"
#include "finance/record_access.h"

namespace ledgerix {
namespace {

struct DefaultKind {
  int32_t id;
  const char* name;
  const char* category;
  double price;
  int32_t type;
};

constexpr DefaultKind kDefaultKinds[] = {
    {1, "Бензин", "Машина", 200.00, 2},          {2, "Такси", "Проезд", 150.00, 2},
    {3, "Маршрутное такси", "Проезд", 15.00, 2}, {4, "Кино", "Развлечения", 350.00, 2},
    {5, "Премия", "Основной доход", 3500.00, 1},
};

struct DefaultAccount {
  int32_t id;
  const char* name;
};

constexpr DefaultAccount kDefaultAccounts[] = {
    {1, "Наличные"},
    {2, "Кредитная карта"},
};

}  // namespace

FinanceDb::FinanceDb(platform::Env& env, const platform::Clock& clock,
                     const FinanceGlobals& globals)
    : env_(env), clock_(clock), globals_(globals) {}

FinanceDb::~FinanceDb() { CloseConnection(); }

void FinanceDb::Close() { CloseConnection(); }

bool FinanceDb::IsOpen() const { return connection_ != nullptr && connection_->IsOpen(); }

std::unique_ptr<DbRecordSet> FinanceDb::OpenTable(const char* table_name) {
  return OpenTableRecordSet(connection_.get(), table_name);
}

int FinanceDb::DeleteAllData() {
  if (!IsOpen()) return 0;
  // Not begun when the caller's transaction runs: the writes are then the caller's.
  DbTransaction transaction(connection_.get());
  for (const char* table : {kKindsTable, kEntriesTable, kAccountsTable}) {
    std::unique_ptr<DbRecordSet> record_set = OpenTable(table);
    if (record_set == nullptr || !record_set->DeleteAll()) return 0;
  }
  return !transaction.active() || transaction.Commit() ? 1 : 0;
}

int FinanceDb::SeedDefaults() {
  DbTransaction transaction(connection_.get());
  int result = 1;
  for (const DefaultKind& seed : kDefaultKinds) {
    KindRecord kind;
    kind.id = seed.id;
    kind.name = FromUtf8(seed.name);
    kind.category = FromUtf8(seed.category);
    kind.price = seed.price;
    kind.type = seed.type;
    if (!AddKind(kind)) result = 0;
  }
  for (const DefaultAccount& seed : kDefaultAccounts) {
    AccountRecord account;
    account.id = seed.id;
    account.name = FromUtf8(seed.name);
    if (!AddAccount(account)) result = 0;
  }
  if (result == 0) return 0;
  return !transaction.active() || transaction.Commit() ? 1 : 0;
}

}  // namespace ledgerix
