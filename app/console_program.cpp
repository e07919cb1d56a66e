#include "app/console_program.h"

#include "ui/app_state.h"
#include "app/startup.h"
#include "finance/finance_db.h"
#include "platform/instance_lock.h"

namespace ledgerix {
namespace {

void PrintState(const AppState& state, const platform::PosixEnv& env, bool reminder,
                std::ostream& out) {
  const std::string settings_file = HostPathsOf(env)(state.settings.Path());
  out << "Ledgerix\n"
      << "device root:      " << env.options().device_root << "\n"
      << "documents:        " << env.options().documents_folder << "\n"
      << "settings:         " << settings_file << "\n"
      << "storage:          "
      << (state.finance.storage_kind == DriverKind::kFileDatabase ? "file database (6)"
                                                                  : "object store (3)")
      << "\n"
      << "current account:  " << state.finance.current_account_id << " "
      << ToUtf8(state.current_account_name) << "\n"
      << "updates reminder: " << (reminder ? "shown" : "not due") << "\n";
}

}  // namespace

HostPathNamer HostPathsOf(const platform::PosixEnv& env) {
  return [&env](const DbString& device_path) {
    std::string host_path;
    return env.HostPath(device_path.Wide(), &host_path) ? host_path : ToUtf8(device_path);
  };
}

int RunConsoleProgram(platform::PosixEnv& env, const platform::Clock& clock, std::ostream& out) {
  const std::string& root = env.options().device_root;
  platform::InstanceLock lock(root);
  if (!lock.Acquire()) {
    out << ToUtf8(lock.HeldByAnother() ? AlreadyRunningMessage()
                                       : DeviceUnusableMessage(root, lock.LastFailure()))
        << "\n";
    return 1;
  }
  if (!env.Ready()) {
    platform::FailureDetail missing;
    missing.error = platform::winerr::kPathNotFound;
    out << ToUtf8(DeviceUnusableMessage(root, missing)) << "\n";
    return 1;
  }
  AppState state(env);
  FinanceDb db(env, clock, state.finance);
  StartupResult started = RunStartup(state, db, clock, HostPathsOf(env));
  if (started.message.Length() > 0) out << ToUtf8(started.message) << "\n";
  if (started.status != StartupStatus::kReady) return 1;
  PrintState(state, env, started.show_updates_reminder, out);
  if (started.show_updates_reminder) {
    state.current_info_page = (state.current_info_page + 1) % 3;
  }
  if (!WriteBackSettings(state)) {
    out << ToUtf8(
               SettingsUnsavedMessage(HostPathsOf(env)(state.settings.Path()), env.LastFailure()))
        << "\n";
    return 1;
  }
  return 0;
}

}  // namespace ledgerix
