// The operations on accounts ([sec_firms]).
#include <set>

#include "access/db_connection.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/free_id.h"
#include "finance/record_access.h"
#include "finance/record_match.h"
#include "finance/row_limits.h"

namespace ledgerix {
namespace {

bool SetAccountFields(DbRecord* record, const AccountRecord& account) {
  return SetTextField(record, col::kFirmName, account.name) &&
         SetIntField(record, col::kCurrencyId, account.currency_id) &&
         SetTextField(record, col::kNote, account.note);
}

AccountRecord ReadAccount(DbRecord* record) {
  AccountRecord account;
  account.id = IntField(record, col::kId);
  account.name = TextField(record, col::kFirmName);
  account.note = TextField(record, col::kNote);
  account.currency_id = IntField(record, col::kCurrencyId);
  return account;
}

}  // namespace

int FinanceDb::AddAccount(const AccountRecord& account) {
  if (!AccountFits(account)) return 0;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kAccountsTable);
  if (record_set == nullptr || !record_set->AddNew()) return 0;
  DbRecord* record = record_set->CurrentRecord(-1);
  if (!SetIntField(record, col::kId, account.id) || !SetAccountFields(record, account)) return 0;
  return record_set->Update() ? 1 : 0;
}

int FinanceDb::UpdateAccount(const AccountRecord& account) {
  if (!AccountFits(account)) return 0;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kAccountsTable);
  if (record_set == nullptr) return 0;
  int result = 0;
  const bool read = ForEachRow(*record_set, [&](DbRecord* record) {
    if (IntField(record, col::kId) != account.id) return true;
    result = SetAccountFields(record, account) && record_set->Update() ? 1 : 0;
    return false;
  });
  return read ? result : 0;
}

int FinanceDb::FindAccount(AccountRecord* out, int32_t id, const DbString& name) {
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kAccountsTable);
  if (record_set == nullptr) return 0;
  int found = 0;
  const bool read = ForEachRow(*record_set, [&](DbRecord* record) {
    AccountRecord row = ReadAccount(record);
    if (!AccountMatches(row, id, name)) return true;
    if (out != nullptr) *out = row;
    found = 1;
    return false;
  });
  return read ? found : 0;
}

std::unique_ptr<DbRecordSet> FinanceDb::OpenAccounts() { return OpenTable(kAccountsTable); }

int FinanceDb::LoadAccounts(std::vector<AccountRecord>* out) {
  out->clear();
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kAccountsTable);
  if (record_set == nullptr) return 0;
  return ScanEveryRow(*record_set,
                      [&](DbRecord* record) {
                        out->push_back(ReadAccount(record));
                        return true;
                      })
             ? 1
             : 0;
}

int32_t FinanceDb::FreeAccountId(int32_t preferred) {
  std::vector<AccountRecord> accounts;
  // An id of an account that could not be read might be handed out again.
  if (!LoadAccounts(&accounts)) return 0;
  std::set<int32_t> taken;
  for (const AccountRecord& account : accounts) taken.insert(account.id);
  return NextFreeId(taken, preferred);
}

}  // namespace ledgerix
