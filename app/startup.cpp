#include "app/startup.h"

namespace ledgerix {
namespace {

DbValue Int(int32_t value) { return DbValue(value); }

int32_t ReadInt(const SettingsStore& settings, const char* name) {
  return settings.ReadSetting(name, DbValueType::Int32).AsInt32();
}

int ReadFlag(const SettingsStore& settings, const char* name) {
  return settings.ReadSetting(name, DbValueType::Bool8).AsBool() ? 1 : 0;
}

DbString ReadText(const SettingsStore& settings, const char* name) {
  return settings.ReadSetting(name, DbValueType::Text).ToText();
}

}  // namespace

DbString StartupFailureMessage() { return FromUtf8("Ошибка открытия базы данных!"); }

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
  if (ReadFlag(settings, "IS_SYSTEMTYPE_DB") == 0) {
    state.finance.storage_kind = DriverKind::kFileDatabase;
  }
  state.last_archive_name = ReadText(settings, "LAST_ARCHIVE");
  state.finance.current_account_id = ReadInt(settings, "GL_FIRM_ID");
  state.show_account_in_report = ReadFlag(settings, "IS_SHOW_FIRM_IN_REPORT");
  state.finance.show_account_in_actions = ReadFlag(settings, "IS_SHOW_FIRM_IN_ACTIONS");
  state.report_column_widths = ReadText(settings, "REPORT_COLUMN_WIDTH");
  state.current_info_page = ReadInt(settings, "CUR_INFO_PAGE");
}

bool DecideUpdatesReminder(AppState& state, const platform::Clock& clock) {
  const int64_t now = clock.Now();
  int64_t last = ReadInt(state.settings, "LAST_DT");
  if (last == 0 || last < now - kReminderInterval) last = now;
  if (last != now) return false;
  state.settings.WriteSetting("LAST_DT", Int(static_cast<int32_t>(now)));
  state.settings.Save();
  return true;
}

void NameCurrentAccount(AppState& state, FinanceDb& db) {
  AccountRecord account;
  if (db.FindAccount(&account, state.finance.current_account_id, DbString())) {
    state.current_account_name = account.name;
  }
  if (state.finance.current_account_id == 0) state.current_account_name = FromUtf8("<<Любой>>");
}

StartupResult RunStartup(AppState& state, FinanceDb& db, const platform::Clock& clock) {
  state.settings.Bind(kSettingsName);
  DeclareStartupSettings(state.settings);
  state.settings.Save();
  ReadStartupSettings(state);
  if (!db.Open(kDatabaseName)) return {StartupStatus::kDatabaseFailed, false};
  StartupResult result;
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
