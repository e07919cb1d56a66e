#include "screenshots/screen_world.h"

namespace ledgerix {

ScreenWorld& ScreenWorld::Get() {
  static ScreenWorld world;
  return world;
}

ScreenWorld::ScreenWorld() {
  const std::string root = folder_.path().toStdString();
  env_ = std::make_unique<platform::PosixEnv>(
      platform::PosixEnvOptions{root + "/device", root + "/documents", root + "/program"});
  state_ = std::make_unique<AppState>(*env_);
  (void)state_->settings.Bind("tv_ledgrx");
  state_->current_account_name = FromUtf8("<<Любой>>");
  db_ = std::make_unique<FinanceDb>(*env_, clock_, state_->finance);
  (void)db_->Open(kDatabaseName);
}

MessageAnswer ScreenWorld::QuietServices::ShowMessage(const DbString&, const DbString&,
                                                      MessageButtons buttons, MessageIcon) {
  return buttons == MessageButtons::kYesNo || buttons == MessageButtons::kYesNoCancel
             ? MessageAnswer::kYes
             : MessageAnswer::kOk;
}

}  // namespace ledgerix
