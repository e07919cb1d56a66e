#pragma once
// Transfer between accounts: the "Принять" of the transfer screen. Money moves as ordinary
// entries against three fixed kinds of the category "Перевод между счетами", made on first use:
// the payer spends the amount ("Списание со счета") and the commission ("Комиссия"), the
// receiver earns the amount ("Поступление на счет").

#include <cstdint>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_db.h"
#include "platform/clock.h"

namespace ledgerix {

// What "Принять" did, and so what the screen shows and whether it closes.
enum class TransferResult {
  kDone,  // "Перевод осуществлен"; the screen closes
  // The input checks, in the order they run; the screen stays open with the input kept.
  kNoPayer,       // "Не введено значение счета плательщика!!!"
  kNoReceiver,    // "Не введено значение счета получателя!!!"
  kSameAccounts,  // "Счета плательщика и получателя не могут быть одинаковыми!!!"
  kNoAmount,      // "Не указана сумма перевода!!!"
  kCommissionOverAmount,  // "Размер комиссии не может превышать сумму перевода!!!"
  kAmountTooLarge,  // more than an entry can hold: "Сумма перевода слишком велика!!!"
  kNoDatabase,  // no database open: nothing written, nothing shown; the screen closes
  kFailed,      // a kind or entry could not be written; nothing of the transfer is kept; reported
  // a write failed and what was written before it could not be taken back now (the database
  // puts it back when it is next opened)
  kPartlyWritten,
};

// What the transfer screen holds when the user presses "Принять".
struct TransferRequest {
  int day = 1;  // the picker's date
  int month = 1;
  int year = 2000;       // four digits
  int32_t payer_id = 0;  // 0 when nothing is selected
  int32_t receiver_id = 0;
  DbString amount_text;  // the fields' texts, read to the hundredth with ParseHundredths
  DbString commission_text;
};

// An account the two boxes offer.
struct TransferAccount {
  int32_t id = 0;
  DbString name;
};

// The names and category of the fixed kinds.
DbString TransferCategory();
DbString TransferDebitKindName();       // "Списание со счета", spending
DbString TransferCommissionKindName();  // "Комиссия", spending
DbString TransferCreditKindName();      // "Поступление на счет", income

// The accounts of both boxes: every account whose id is not 0 and whose name is not empty, in
// table order. Empty when no database is open.
std::vector<TransferAccount> TransferAccounts(FinanceDb* finance);
// The index in `accounts` the payer box starts on: the current account when listed, else -1.
int InitialPayerIndex(const std::vector<TransferAccount>& accounts, int32_t current_account_id);

// The input checks alone: the first one that fails, or kDone when all pass.
TransferResult CheckTransfer(const TransferRequest& request);

// "Принять": the checks, then, with a database open, the fixed kinds looked up or made (ids
// from the current time, FreeKindId moving past ids that are taken) and the entries written on
// the picker's date, count 1, empty note: the commission (when not 0) and the amount against the
// payer, the amount for the receiver. Kinds and entries are written in one transaction: when one
// cannot be written, nothing of the transfer is kept, not even a kind made for it.
TransferResult AcceptTransfer(FinanceDb* finance, const platform::Clock& clock,
                              const TransferRequest& request);

// The message for a result; empty when the screen shows none.
DbString TransferMessage(TransferResult result);
// True when the screen closes after this result.
bool TransferClosesScreen(TransferResult result);

}  // namespace ledgerix
