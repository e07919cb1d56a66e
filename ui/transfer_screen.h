#pragma once
// TransferScreen: the rules of the transfer screen ("Перевод между счетами"). The person picks
// the date, the payer and the receiver among the named accounts and types the amount and the
// commission; "Принять" runs the checks in order and writes the transfer (AcceptTransfer).

#include <string_view>
#include <vector>

#include "engine/db_string.h"
#include "platform/clock.h"
#include "reports/transfer.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class FinanceDb;

class TransferScreen : public ScreenRules {
 public:
  // `db` may be null or closed: no accounts are listed and "Принять" closes without writing
  // once the checks pass. None is owned.
  TransferScreen(FinanceDb* db, const AppState& state, const platform::Clock& clock,
                 ScreenServices& services);

  std::string_view ScreenName() const override { return "TransferDialog"; }

  // Today's date, the accounts of both boxes, the payer on the current account when it is
  // listed, no receiver, both amounts "0.00".
  void Start();
  // "Принять": the checks, each failing one shown ("...!!!") with the screen kept open and the
  // input kept; then the transfer written and "Перевод осуществлен" shown. True when the screen
  // closes as accepted (also without a database); false when it stays open, after a refusal or
  // a write that failed (said in a message, nothing of the transfer kept).
  [[nodiscard]] bool OnAccept();

  // The fields of the screen, read and written by its dialog.
  int day = 1;
  int month = 1;
  int year = 2000;    // four digits
  int payer = -1;     // index into accounts(), -1 for none
  int receiver = -1;  // the same
  DbString amount_text;
  DbString commission_text;

  const std::vector<TransferAccount>& accounts() const { return accounts_; }

 private:
  int32_t AccountId(int index) const;

  FinanceDb* db_;
  const AppState& state_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  std::vector<TransferAccount> accounts_;
};

}  // namespace ledgerix
