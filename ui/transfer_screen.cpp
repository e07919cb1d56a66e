#include "ui/transfer_screen.h"

#include "reports/info_caption.h"

namespace ledgerix {
namespace {

constexpr char kNoAmount[] = "0.00";

}  // namespace

TransferScreen::TransferScreen(FinanceDb* db, const AppState& state, const platform::Clock& clock,
                               ScreenServices& services)
    : db_(db), state_(state), clock_(clock), services_(services) {}

void TransferScreen::Start() {
  const platform::LocalTime today = clock_.Local(clock_.Now());
  day = today.day;
  month = today.month;
  year = today.year;
  accounts_ = TransferAccounts(db_);
  payer = InitialPayerIndex(accounts_, state_.finance.current_account_id);
  receiver = -1;
  amount_text = DbString(kNoAmount);
  commission_text = DbString(kNoAmount);
}

int32_t TransferScreen::AccountId(int index) const {
  if (index < 0 || index >= static_cast<int>(accounts_.size())) return 0;
  return accounts_[static_cast<size_t>(index)].id;
}

bool TransferScreen::OnAccept() {
  TransferRequest request;
  request.day = day;
  request.month = month;
  request.year = year;
  request.payer_id = AccountId(payer);
  request.receiver_id = AccountId(receiver);
  request.amount_text = amount_text;
  request.commission_text = commission_text;
  const TransferResult result = AcceptTransfer(db_, clock_, request);
  const DbString message = TransferMessage(result);
  if (message.Length() > 0) {
    const bool done = result == TransferResult::kDone;
    const bool refused =
        !done && result != TransferResult::kFailed && result != TransferResult::kPartlyWritten;
    services_.ShowMessage(message, DbString(kInfoCaption), MessageButtons::kOk,
                          done      ? MessageIcon::kInformation
                          : refused ? MessageIcon::kWarning
                                    : MessageIcon::kError);
  }
  return TransferClosesScreen(result);
}

}  // namespace ledgerix
