// The program until its screens exist: binds the settings at the device root, declares the
// start-up settings with their defaults, saves them and says where its files are.
#include <cstdio>
#include <string>

#include "engine/db_string.h"
#include "engine/db_value.h"
#include "engine/settings_store.h"
#include "platform/host_paths.h"
#include "platform/posix_env.h"

namespace {

using ledgerix::DbValue;

void DeclareStartupSettings(ledgerix::SettingsStore& settings) {
  const DbValue empty("");
  const DbValue zero(int32_t{0});
  settings.DeclareDefault("IS_SYSTEMTYPE_DB", DbValue(int32_t{1}));
  settings.DeclareDefault("LAST_ARCHIVE", empty);
  settings.DeclareDefault("LAST_DT", empty);
  settings.DeclareDefault("PERIOD_DT_FROM", empty);
  settings.DeclareDefault("PERIOD_DT_TILL", empty);
  settings.DeclareDefault("PERIOD_TYPE", zero);
  settings.DeclareDefault("REPORT_TYPE", zero);
  settings.DeclareDefault("REPORT_GROUP_TYPE", zero);
  settings.DeclareDefault("CHECK_DEBIT_SUM", zero);
  settings.DeclareDefault("CHECK_CREDIT_SUM", zero);
  settings.DeclareDefault("GL_FIRM_ID", DbValue("0"));
  settings.DeclareDefault("IS_SHOW_FIRM_IN_REPORT", zero);
  settings.DeclareDefault("DEFAULT_REPORT_FIRM_ID", DbValue("0"));
  settings.DeclareDefault("REPORT_COLUMN_WIDTH", empty);
  settings.DeclareDefault("CUR_INFO_PAGE", zero);
}

}  // namespace

int main() {
  ledgerix::platform::PosixEnv env({ledgerix::platform::DefaultDeviceRoot(),
                                    ledgerix::platform::DefaultDocumentsFolder(),
                                    ledgerix::platform::ExecutableFolder()});
  ledgerix::SettingsStore settings(env);
  settings.Bind("tv_ledgrx");
  DeclareStartupSettings(settings);
  int saved = settings.Save();
  std::printf("Ledgerix\n");
  std::printf("device root: %s\n", env.options().device_root.c_str());
  std::printf("documents:   %s\n", env.options().documents_folder.c_str());
  std::string settings_file;
  env.HostPath(settings.Path().Wide(), &settings_file);
  std::printf("settings:    %s (%s)\n", settings_file.c_str(),
              saved ? "saved" : "could not be saved");
  return saved ? 0 : 1;
}
