#include "app/finance_app.h"

#include "app/startup.h"
#include "finance/finance_db.h"
#include "platform/instance_lock.h"
#include "ui/app_state.h"
#include "ui/main_screen.h"
#include "ui/updates_screen.h"

namespace ledgerix {

HostPathNamer HostPathsOf(const platform::PosixEnv& env) {
  return [&env](const DbString& device_path) {
    std::string host_path;
    return env.HostPath(device_path.Wide(), &host_path) ? host_path : ToUtf8(device_path);
  };
}

FinanceApp::FinanceApp(platform::PosixEnv& env, const platform::Clock& clock,
                       ScreenServices& services, std::ostream* diagnostics)
    : env_(env), clock_(clock), services_(services), diagnostics_(diagnostics) {}

int FinanceApp::Refuse(const DbString& text) {
  if (diagnostics_ != nullptr) *diagnostics_ << "ledgerix: " << ToUtf8(text) << std::endl;
  services_.ShowMessage(text, FromUtf8(kProgramCaption), MessageButtons::kOk, MessageIcon::kError);
  return 1;
}

int FinanceApp::Run() {
  const std::string& root = env_.options().device_root;
  platform::InstanceLock lock(root);
  if (!lock.Acquire()) {
    return Refuse(lock.HeldByAnother() ? AlreadyRunningMessage()
                                       : DeviceUnusableMessage(root, lock.LastFailure()));
  }
  if (!env_.Ready()) {
    platform::FailureDetail missing;
    missing.error = platform::winerr::kPathNotFound;
    return Refuse(DeviceUnusableMessage(root, missing));
  }
  AppState state(env_);
  FinanceDb db(env_, clock_, state.finance);
  const StartupResult started = RunStartup(state, db, clock_, HostPathsOf(env_));
  if (started.status != StartupStatus::kReady) return Refuse(started.message);
  // What start-up salvaged or converted is said before the first screen.
  if (started.message.Length() > 0) {
    services_.ShowMessage(started.message, FromUtf8(kProgramCaption), MessageButtons::kOk,
                          MessageIcon::kWarning);
  }
  if (started.show_updates_reminder) {
    UpdatesScreen updates(state);
    services_.RunScreen(updates);
  }
  {
    MainScreen main_screen(&db, state, env_, clock_, services_);
    services_.RunScreen(main_screen);
  }
  if (!WriteBackSettings(state)) {
    return Refuse(
        SettingsUnsavedMessage(HostPathsOf(env_)(state.settings.Path()), env_.LastFailure()));
  }
  return 0;
}

}  // namespace ledgerix
