#include "reports/transfer.h"

#include <memory>

#include "access/db_transaction.h"
#include "engine/parse.h"
#include "finance/date_key.h"
#include "finance/money.h"
#include "finance/packed_amount.h"
#include "finance/record_access.h"
#include "finance/type_code.h"

namespace ledgerix {
namespace {

// One of the kinds a transfer books against. A kind made by a transfer takes the first free id
// from the current time + id_offset, so that the kinds made by one transfer get different ids.
struct FixedKind {
  DbString name;
  int32_t type;
  int32_t id_offset;
};

struct SettledKind {
  int32_t id = 0;  // 0 when it could not be made
  bool made = false;
};

// Finds the kind by name and type, or makes it with the first free id from now + offset.
SettledKind FindOrAddKind(FinanceDb& finance, const FixedKind& fixed, int32_t now) {
  KindRecord kind;
  if (finance.FindKind(&kind, 0, fixed.type, fixed.name)) return {kind.id, false};
  kind = KindRecord();
  kind.id = finance.FreeKindId(now + fixed.id_offset);
  kind.name = fixed.name;
  kind.category = TransferCategory();
  kind.type = fixed.type;
  if (!finance.AddKind(kind)) return {};
  return {kind.id, true};
}

// `price` in hundredths; the entry's double holds it so that it packs back exactly.
EntryRecord TransferEntry(const TransferRequest& request, int32_t kind_id, int direction,
                          int32_t account_id, int64_t price) {
  EntryRecord entry;
  entry.date = BuildDateKey(request.day, request.month, request.year);
  entry.price = static_cast<double>(price) / 100.0;
  entry.count = 1;
  entry.kind_id = kind_id;
  entry.type = MakeTypeCode(direction, false);
  entry.account_id = account_id;
  return entry;
}

// Takes back what the transfer wrote so far.
TransferResult Abandon(DbTransaction& transaction) {
  return transaction.Rollback() ? TransferResult::kFailed : TransferResult::kPartlyWritten;
}

}  // namespace

DbString TransferCategory() { return FromUtf8("Перевод между счетами"); }
DbString TransferDebitKindName() { return FromUtf8("Списание со счета"); }
DbString TransferCommissionKindName() { return FromUtf8("Комиссия"); }
DbString TransferCreditKindName() { return FromUtf8("Поступление на счет"); }

std::vector<TransferAccount> TransferAccounts(FinanceDb* finance) {
  std::vector<TransferAccount> accounts;
  std::vector<AccountRecord> rows;
  if (finance == nullptr || !finance->LoadAccounts(&rows)) return accounts;
  for (AccountRecord& row : rows) {
    if (row.id != 0 && row.name.Length() > 0) {
      accounts.push_back(TransferAccount{row.id, std::move(row.name)});
    }
  }
  return accounts;
}

int InitialPayerIndex(const std::vector<TransferAccount>& accounts, int32_t current_account_id) {
  for (size_t i = 0; i < accounts.size(); ++i) {
    if (accounts[i].id == current_account_id) return static_cast<int>(i);
  }
  return -1;
}

TransferResult CheckTransfer(const TransferRequest& request) {
  const int64_t amount = ParseHundredths(request.amount_text.CStr());
  const int64_t commission = ParseHundredths(request.commission_text.CStr());
  if (request.payer_id == 0) return TransferResult::kNoPayer;
  if (request.receiver_id == 0) return TransferResult::kNoReceiver;
  if (request.payer_id == request.receiver_id) return TransferResult::kSameAccounts;
  if (amount == 0) return TransferResult::kNoAmount;
  if (commission > amount) return TransferResult::kCommissionOverAmount;
  // Checked before anything is written: an entry refuses an amount it cannot store.
  if (amount > kMaxPackedHundredths) return TransferResult::kAmountTooLarge;
  return TransferResult::kDone;
}

TransferResult AcceptTransfer(FinanceDb* finance, const platform::Clock& clock,
                              const TransferRequest& request) {
  const TransferResult checked = CheckTransfer(request);
  if (checked != TransferResult::kDone) return checked;
  if (finance == nullptr || !finance->IsOpen()) return TransferResult::kNoDatabase;

  const int64_t amount = ParseHundredths(request.amount_text.CStr());
  const int64_t commission = ParseHundredths(request.commission_text.CStr());
  const int32_t now = static_cast<int32_t>(clock.Now());
  // The kinds made for it and its entries are kept together or not at all: a transfer is
  // never left half written, nor a kind made for a transfer that failed.
  DbTransaction transaction(finance->Connection());
  if (!transaction.active()) return TransferResult::kFailed;
  const SettledKind debit = FindOrAddKind(*finance, {TransferDebitKindName(), kExpense, 0}, now);
  SettledKind fee;
  if (commission != 0) {
    fee = FindOrAddKind(*finance, {TransferCommissionKindName(), kExpense, 1}, now);
  }
  const SettledKind credit =
      FindOrAddKind(*finance, {TransferCreditKindName(), kIncome, fee.made ? 2 : 1}, now);
  if (debit.id == 0 || credit.id == 0 || (commission != 0 && fee.id == 0)) {
    return Abandon(transaction);
  }

  std::vector<EntryRecord> entries;
  if (commission != 0) {
    entries.push_back(TransferEntry(request, fee.id, kExpense, request.payer_id, commission));
  }
  entries.push_back(TransferEntry(request, debit.id, kExpense, request.payer_id, amount));
  entries.push_back(TransferEntry(request, credit.id, kIncome, request.receiver_id, amount));
  for (const EntryRecord& entry : entries) {
    if (!finance->AddEntry(entry)) return Abandon(transaction);
  }
  return transaction.Commit() ? TransferResult::kDone : TransferResult::kFailed;
}

DbString TransferMessage(TransferResult result) {
  switch (result) {
    case TransferResult::kDone:
      return FromUtf8("Перевод осуществлен");
    case TransferResult::kNoPayer:
      return FromUtf8("Не введено значение счета плательщика!!!");
    case TransferResult::kNoReceiver:
      return FromUtf8("Не введено значение счета получателя!!!");
    case TransferResult::kSameAccounts:
      return FromUtf8("Счета плательщика и получателя не могут быть одинаковыми!!!");
    case TransferResult::kNoAmount:
      return FromUtf8("Не указана сумма перевода!!!");
    case TransferResult::kCommissionOverAmount:
      return FromUtf8("Размер комиссии не может превышать сумму перевода!!!");
    case TransferResult::kAmountTooLarge:
      return FromUtf8("Сумма перевода слишком велика!!!");
    case TransferResult::kFailed:
      return FromUtf8("Ошибка записи: перевод не выполнен!");
    case TransferResult::kPartlyWritten:
      return FromUtf8("Ошибка записи: перевод записан не полностью! Проверьте записи счетов.");
    case TransferResult::kNoDatabase:
      break;
  }
  return DbString();
}

bool TransferClosesScreen(TransferResult result) {
  return result == TransferResult::kDone || result == TransferResult::kNoDatabase;
}

}  // namespace ledgerix
