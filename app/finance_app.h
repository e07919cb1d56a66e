#pragma once
// FinanceApp: the whole life of the running program over its screens. It takes the device, starts
// up, shows the updates screen when the weekly reminder is due and the main screen until the
// person closes it, and writes the settings back. Whatever stops it (another copy running, a
// device root, settings file or database that cannot be used) is said in a message box.

#include <ostream>
#include <string>

#include "app/startup_message.h"
#include "platform/clock.h"
#include "platform/posix_env.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

// The caption of the program's own message boxes: the main screen's title.
inline constexpr char kProgramCaption[] = "ТОЛВЕНА - Леджерикс";

// Names device paths by their host paths on `env` (which must outlive the namer).
HostPathNamer HostPathsOf(const platform::PosixEnv& env);

class FinanceApp {
 public:
  // Runs on `env`'s device root; `services` shows the screens and boxes. A message that ends
  // the program is also written, as one UTF-8 text, to `diagnostics` when given (the program
  // passes its error stream, so a terminal or the session log sees why it ended). All stay the
  // caller's and must outlive Run.
  FinanceApp(platform::PosixEnv& env, const platform::Clock& clock, ScreenServices& services,
             std::ostream* diagnostics = nullptr);

  // Runs the program to its end and answers the process exit status: 0 after an orderly end
  // with the settings written back; 1 when it could not start (after its message) or the
  // settings could not be written back (after saying so).
  int Run();

 private:
  // Shows a message that ends the program; answers 1.
  int Refuse(const DbString& text);

  platform::PosixEnv& env_;
  const platform::Clock& clock_;
  ScreenServices& services_;
  std::ostream* diagnostics_;
};

}  // namespace ledgerix
