#include "ui/main_screen.h"

#include "finance/finance_db.h"
#include "reports/info_caption.h"
#include "ui/about_screen.h"
#include "ui/account_settings_screen.h"
#include "ui/archive_screen.h"
#include "ui/entry_list_screen.h"
#include "ui/kinds_list_screen.h"
#include "ui/statistics_screen.h"
#include "ui/transfer_screen.h"
#include "ui/updates_screen.h"

namespace ledgerix {
namespace {

// Builds the rules of a screen on the stack and runs it until it closes.
template <class Rules, class... Args>
void Run(ScreenServices& services, Args&&... args) {
  Rules rules(std::forward<Args>(args)...);
  services.RunScreen(rules);
}

}  // namespace

MainScreen::MainScreen(FinanceDb* db, AppState& state, platform::Env& env,
                       const platform::Clock& clock, ScreenServices& services)
    : db_(db), state_(state), env_(env), clock_(clock), services_(services) {}

CommandOutcome MainScreen::RunCommand(int command_id) {
  switch (command_id) {
    case kCommandIncomeKinds:
    case kCommandExpenseKinds:
      Run<KindsListScreen>(services_, db_, clock_, services_,
                           command_id == kCommandIncomeKinds ? 1 : 2, nullptr);
      break;
    case kCommandExpenses:
    case kCommandIncome:
      Run<EntryListScreen>(services_, db_, state_, clock_, services_,
                           command_id == kCommandIncome ? 1 : 2);
      break;
    case kCommandExit:
      return CommandOutcome::kCloseScreen;
    case kCommandStatistics:
      Run<StatisticsScreen>(services_, db_, state_, clock_, env_, services_);
      break;
    case kCommandArchives:
      Run<ArchiveScreen>(services_, db_, state_, env_, clock_, services_);
      break;
    case kCommandClearAll:
      ClearAllData();
      break;
    case kCommandAccounts:
      Run<AccountSettingsScreen>(services_, db_, state_, services_);
      break;
    case kCommandTransfer:
      Run<TransferScreen>(services_, db_, state_, clock_, services_);
      break;
    case kCommandAbout:
      Run<AboutScreen>(services_);
      break;
    case kCommandUpdates:
      Run<UpdatesScreen>(services_, state_);
      break;
    default:
      return CommandOutcome::kUnknown;
  }
  return CommandOutcome::kDone;
}

void MainScreen::ClearAllData() {
  const DbString caption(kInfoCaption);
  if (services_.ShowMessage(FromUtf8("Вы действительно хотите удалить все данные программы?"),
                            caption, MessageButtons::kYesNo,
                            MessageIcon::kWarning) != MessageAnswer::kYes) {
    return;
  }
  int deleted = 0;
  {
    WaitCursor wait(services_);
    if (db_ == nullptr) return;
    deleted = db_->DeleteAllData();
  }
  if (deleted != 0) {
    services_.ShowMessage(FromUtf8("Все данные удалены"), caption, MessageButtons::kOk,
                          MessageIcon::kNone);
  } else {
    services_.ShowMessage(FromUtf8("Ошибка удаления данных! Данные не изменены."), caption,
                          MessageButtons::kOk, MessageIcon::kError);
  }
}

}  // namespace ledgerix
