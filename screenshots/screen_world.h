#pragma once
// ScreenWorld: the device the screen scenes show: a device root of its own in a temporary
// folder, a clock standing at one moment, the finance database with its seeded data and the
// program's state, and screen services that show nothing. Screens rendered from it look the
// same on every run.

#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "finance/finance_db.h"
#include "platform/clock.h"
#include "platform/posix_env.h"
#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class ScreenWorld {
 public:
  // The world of this run, made on first use: a fresh database on the object store, seeded.
  static ScreenWorld& Get();

  FinanceDb& db() { return *db_; }
  AppState& state() { return *state_; }
  const platform::Clock& clock() const { return clock_; }
  ScreenServices& services() { return services_; }
  // The device's files (exports are written under its documents folder).
  platform::Env& env() { return *env_; }

  // Keeps `object` (a screen's rules) alive as long as the world.
  template <class T>
  T& Keep(std::unique_ptr<T> object) {
    T& kept = *object;
    kept_.push_back(std::shared_ptr<void>(std::move(object)));
    return kept;
  }

 private:
  ScreenWorld();

  // 5 March 2024, 12:00 UTC, whatever the machine's time.
  class FixedClock : public platform::Clock {
   public:
    int64_t Now() const override { return 1709640000; }
    platform::LocalTime Local(int64_t t) const override { return platform::UtcTime(t); }
  };
  // Answers every message box with its first button and runs no nested screen.
  class QuietServices : public ScreenServices {
   public:
    MessageAnswer ShowMessage(const DbString&, const DbString&, MessageButtons buttons,
                              MessageIcon) override;
    int RunScreen(ScreenRules&) override { return kScreenCancel; }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
  };

  QTemporaryDir folder_;
  FixedClock clock_;
  QuietServices services_;
  std::unique_ptr<platform::PosixEnv> env_;
  std::unique_ptr<AppState> state_;
  std::unique_ptr<FinanceDb> db_;
  std::vector<std::shared_ptr<void>> kept_;
};

}  // namespace ledgerix
