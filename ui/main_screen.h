#pragma once
// MainScreen: the rules of the main screen, the hub the program runs for its whole life. Every
// command opens another screen modally (the kinds lists, a day's expenses or income, statistics,
// the archives, the accounts editor, a transfer, the about box, the updates notice) or empties the
// database after asking ("Очистить все"). It shows no finance data itself.

#include <string_view>

#include "platform/clock.h"
#include "platform/env.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"
#include "ui/main_menu.h"

namespace ledgerix {

class FinanceDb;

enum class CommandOutcome {
  kDone,         // the command ran (its screens have closed again)
  kCloseScreen,  // "Выход": the main screen closes and the program ends
  kUnknown,      // not a command of the main screen
};

class MainScreen : public ScreenRules {
 public:
  // `db` may be null: the screens opened then skip their database work and "Очистить все" asks
  // but deletes nothing. None is owned; all must outlive the screen.
  MainScreen(FinanceDb* db, AppState& state, platform::Env& env, const platform::Clock& clock,
             ScreenServices& services);

  std::string_view ScreenName() const override { return "MainDialog"; }

  // Runs command `command_id` (kCommand...): builds the rules of the screen it opens and runs
  // it through the services until it closes; nothing from its result is used.
  CommandOutcome RunCommand(int command_id);

  // "Очистить все": asks (Yes / No); on Yes empties kinds, entries and accounts together under
  // the wait cursor and confirms "Все данные удалены", or says that nothing was deleted when
  // the database refused. Settings and the current account stay as they are.
  void ClearAllData();

 private:
  FinanceDb* db_;
  AppState& state_;
  platform::Env& env_;
  const platform::Clock& clock_;
  ScreenServices& services_;
};

}  // namespace ledgerix
