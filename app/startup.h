#pragma once
// The program's start-up and orderly end, apart from its screens: the settings it declares and
// reads, opening the finance database with the chosen driver, the weekly updates reminder, the
// current account's name, and the settings written back when the main screen closes.

#include "ui/app_state.h"
#include "app/startup_message.h"
#include "finance/finance_db.h"
#include "finance/open_report.h"
#include "platform/clock.h"

namespace ledgerix {

inline constexpr char kSettingsName[] = "tv_ledgrx";
// Seven days: the updates reminder comes back on the first start after this long.
inline constexpr int64_t kReminderInterval = 604800;

enum class StartupStatus {
  kReady,               // the main screen may run (after the message, when there is one)
  kSettingsUnreadable,  // the settings file exists but cannot be read; show the message and end
  kDatabaseFailed,      // the finance database did not open; show the message and end
};

struct StartupResult {
  StartupStatus status = StartupStatus::kReady;
  bool show_updates_reminder = false;  // the updates screen is due (LAST_DT already recorded)
  OpenReport database;                 // what opening the database found and did
  // The one message to show: why the program cannot start, or what start-up changed or
  // salvaged. Empty when there is nothing to say.
  DbString message;
};

// Declares the fifteen start-up settings with their defaults, in their fixed order.
void DeclareStartupSettings(SettingsStore& settings);

// Reads the storage choice and the display settings into the state (the storage kind becomes 6
// when IS_SYSTEMTYPE_DB reads as 0, else it stays 0, which the database takes as kind 3). A
// whole number beyond 32 bits reads as the setting's default, so it is written back as that.
void ReadStartupSettings(AppState& state);

// Whether the weekly updates reminder is due now: on the first start (LAST_DT empty or 0) and on
// the first start more than seven days after the last reminder. When due, LAST_DT becomes now
// and the settings are saved.
bool DecideUpdatesReminder(AppState& state, const platform::Clock& clock);

// Names the current account from the database; "<<Любой>>" when the current account is 0. A
// failed lookup leaves the name as it was.
void NameCurrentAccount(AppState& state, FinanceDb& db);

// The start of the program up to its main screen: binds and declares the settings, saves them,
// reads them, opens the database, decides the reminder and names the current account. A
// settings file that exists but cannot be read stops the start before anything is written.
// Messages name host paths through `host_path` (device paths when it is empty). The caller
// holds the instance lock.
[[nodiscard]] StartupResult RunStartup(AppState& state, FinanceDb& db, const platform::Clock& clock,
                                       const HostPathNamer& host_path = nullptr);

// The orderly end: writes back GL_FIRM_ID, IS_SHOW_FIRM_IN_REPORT, IS_SHOW_FIRM_IN_ACTIONS,
// REPORT_COLUMN_WIDTH, CUR_INFO_PAGE and LAST_ARCHIVE, then saves. 1 when saved.
[[nodiscard]] int WriteBackSettings(AppState& state);

}  // namespace ledgerix
