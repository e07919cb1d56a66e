#include "reports/report_settings.h"

#include <cstdint>

#include "engine/db_value.h"

namespace ledgerix {
namespace {

int32_t ReadInt(const SettingsStore& store, const char* key) {
  return store.ReadSetting(key, DbValueType::Int32).AsInt32();
}

// A choice among 0, 1 and 2; anything else (a damaged file) falls back to the first.
int32_t ReadChoice(const SettingsStore& store, const char* key) {
  int32_t value = ReadInt(store, key);
  return value >= 0 && value <= 2 ? value : 0;
}

// The choices are kept as text holding the decimal number.
int WriteNumberText(SettingsStore* store, const char* key, int32_t value) {
  DbString text;
  text.Format("%d", value);
  return store->WriteSetting(key, DbValue(text));
}

}  // namespace

void LoadReportSettings(const SettingsStore& store, ReportParams* params) {
  params->report_type = ReadChoice(store, kReportTypeKey);
  params->group_type = ReadChoice(store, kReportGroupTypeKey);
  params->period_type = ReadChoice(store, kPeriodTypeKey);
  if (int32_t from = ReadInt(store, kPeriodFromKey); from != 0) params->period_from = from;
  if (int32_t till = ReadInt(store, kPeriodTillKey); till != 0) params->period_till = till;
}

int SaveReportSettings(SettingsStore* store, const ReportParams& params) {
  int written = WriteNumberText(store, kReportTypeKey, params.report_type) &
                WriteNumberText(store, kReportGroupTypeKey, params.group_type);
  return written != 0 && store->Save() != 0 ? 1 : 0;
}

int SavePeriodSettings(SettingsStore* store, const ReportParams& params) {
  int written =
      store->WriteSetting(kPeriodFromKey, DbValue(static_cast<int32_t>(params.period_from))) &
      store->WriteSetting(kPeriodTillKey, DbValue(static_cast<int32_t>(params.period_till))) &
      WriteNumberText(store, kPeriodTypeKey, params.period_type);
  return written != 0 && store->Save() != 0 ? 1 : 0;
}

}  // namespace ledgerix
