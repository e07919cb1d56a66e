#include "app/startup.h"

namespace ledgerix {
namespace {

DbValue Int(int32_t value) { return DbValue(value); }

// The number of pages the updates screen shows in turn.
constexpr int32_t kInfoPages = 3;

// Any number but 0 is on; "256" is on (a flag is not cut to its low byte, which would turn it
// off).
int ReadFlag(const SettingsStore& settings, const char* name, int fallback) {
  return settings.ReadInt32(name, fallback) != 0 ? 1 : 0;
}

DbString ReadText(const SettingsStore& settings, const char* name) {
  return settings.ReadSetting(name, DbValueType::Text).ToText();
}

}  // namespace

void DeclareStartupSettings(SettingsStore& settings) {
  const DbValue empty("");
  settings.DeclareDefault("IS_SYSTEMTYPE_DB", Int(1));
  settings.DeclareDefault("LAST_ARCHIVE", empty);
  settings.DeclareDefault("LAST_DT", empty);
  settings.DeclareDefault("PERIOD_DT_FROM", empty);
  settings.DeclareDefault("PERIOD_DT_TILL", empty);
  settings.DeclareDefault("PERIOD_TYPE", Int(0));
  settings.DeclareDefault("REPORT_TYPE", Int(0));
  settings.DeclareDefault("REPORT_GROUP_TYPE", Int(0));
  settings.DeclareDefault("CHECK_DEBIT_SUM", Int(0));
  settings.DeclareDefault("CHECK_CREDIT_SUM", Int(0));
  settings.DeclareDefault("GL_FIRM_ID", DbValue("0"));
  settings.DeclareDefault("IS_SHOW_FIRM_IN_REPORT", Int(0));
  settings.DeclareDefault("DEFAULT_REPORT_FIRM_ID", DbValue("0"));
  settings.DeclareDefault("REPORT_COLUMN_WIDTH", empty);
  settings.DeclareDefault("CUR_INFO_PAGE", Int(0));
}

void ReadStartupSettings(AppState& state) {
  const SettingsStore& settings = state.settings;
  if (ReadFlag(settings, "IS_SYSTEMTYPE_DB", 1) == 0) {
    state.finance.storage_kind = DriverKind::kFileDatabase;
  }
  state.last_archive_name = ReadText(settings, "LAST_ARCHIVE");
  state.finance.current_account_id = settings.ReadInt32("GL_FIRM_ID", 0);
  state.show_account_in_report = ReadFlag(settings, "IS_SHOW_FIRM_IN_REPORT", 0);
  state.finance.show_account_in_actions = ReadFlag(settings, "IS_SHOW_FIRM_IN_ACTIONS", 0);
  state.report_column_widths = ReadText(settings, "REPORT_COLUMN_WIDTH");
  state.current_info_page = settings.ReadInt32("CUR_INFO_PAGE", 0);
  // The updates screen has three pages.
  if (state.current_info_page < 0 || state.current_info_page >= kInfoPages) {
    state.current_info_page = 0;
  }
}

bool DecideUpdatesReminder(AppState& state, const platform::Clock& clock) {
  const int64_t now = clock.Now();
  int64_t last = state.settings.ReadInt32("LAST_DT", 0);
  if (last == 0 || last < now - kReminderInterval) last = now;
  if (last != now) return false;
  state.settings.WriteSetting("LAST_DT", Int(static_cast<int32_t>(now)));
  // Not saved now, LAST_DT is saved with the rest of the store at the orderly end; only a start
  // that ends otherwise shows the reminder once more.
  static_cast<void>(state.settings.Save());
  return true;
}

void NameCurrentAccount(AppState& state, FinanceDb& db) {
  AccountRecord account;
  if (db.FindAccount(&account, state.finance.current_account_id, DbString())) {
    state.current_account_name = account.name;
  }
  if (state.finance.current_account_id == 0) state.current_account_name = FromUtf8("<<Любой>>");
}

StartupResult RunStartup(AppState& state, FinanceDb& db, const platform::Clock& clock,
                         const HostPathNamer& host_path) {
  StartupResult result;
  // Unread settings would read as zeros, and IS_SYSTEMTYPE_DB 0 would quietly open another,
  // empty database; a file that is there but unreadable is never written over.
  if (!state.settings.Bind(kSettingsName)) {
    const DbString path = state.settings.PathFor(kSettingsName);
    result.status = StartupStatus::kSettingsUnreadable;
    result.message = SettingsUnreadableMessage(host_path ? host_path(path) : ToUtf8(path),
                                               state.settings.LoadFailure());
    return result;
  }
  DeclareStartupSettings(state.settings);
  // The file read whole, so a save that fails here loses nothing: the defaults are in memory
  // and are written with the rest of the store at the orderly end.
  static_cast<void>(state.settings.Save());
  ReadStartupSettings(state);
  const int opened = db.Open(kDatabaseName, &result.database);
  result.message = DatabaseOpenMessage(result.database, host_path);
  if (!opened || !result.database.Opened() || !db.IsOpen()) {
    result.status = StartupStatus::kDatabaseFailed;
    return result;
  }
  result.show_updates_reminder = DecideUpdatesReminder(state, clock);
  NameCurrentAccount(state, db);
  return result;
}

int WriteBackSettings(AppState& state) {
  SettingsStore& settings = state.settings;
  settings.WriteSetting("GL_FIRM_ID", Int(state.finance.current_account_id));
  settings.WriteSetting("IS_SHOW_FIRM_IN_REPORT", Int(state.show_account_in_report));
  settings.WriteSetting("IS_SHOW_FIRM_IN_ACTIONS", Int(state.finance.show_account_in_actions));
  settings.WriteSetting("REPORT_COLUMN_WIDTH", DbValue(state.report_column_widths));
  settings.WriteSetting("CUR_INFO_PAGE", Int(state.current_info_page));
  // A restore during the run changed the last archive; writing the state's name keeps it.
  settings.WriteSetting("LAST_ARCHIVE", DbValue(state.last_archive_name));
  return settings.Save();
}

}  // namespace ledgerix
