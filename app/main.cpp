// The program's entry point: answers --help and --version, makes sure there is a display, sizes
// the device screen for the desktop, and runs the program over the host's folders. A request to
// end from outside (the session ending, Ctrl+C) closes the screens so the program ends in order.
#include <QApplication>
#include <QSocketNotifier>
#include <iostream>
#include <string>
#include <vector>

#include "app/finance_app.h"
#include "app/program_options.h"
#include "platform/host_paths.h"
#include "platform/posix_env.h"
#include "platform/termination_signals.h"
#include "ui/controls/desktop_scale.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/qt_screen_services.h"
#include "ui/screen_registry.h"

int main(int argc, char** argv) {
  namespace platform = ledgerix::platform;
  const ledgerix::ProgramOptions options =
      ledgerix::ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case ledgerix::ProgramAction::kVersion:
      std::cout << ledgerix::VersionText();
      return 0;
    case ledgerix::ProgramAction::kHelp:
      std::cout << ledgerix::HelpText();
      return 0;
    case ledgerix::ProgramAction::kUsageError:
      std::cerr << ledgerix::UsageErrorText(options.argument);
      return 2;
    case ledgerix::ProgramAction::kRun:
      break;
  }
  if (!options.platform_given && !platform::DisplayNamed()) {
    std::cerr << ledgerix::NoDisplayText();
    return 1;
  }
  ledgerix::ApplyDesktopScale(argc, argv);
  QApplication application(argc, argv);
  QApplication::setFont(ledgerix::DeviceFont(12));

  ledgerix::QtScreenServices services;
  ledgerix::RegisterScreens(services);
  platform::TerminationSignals termination;
  if (termination.Install()) {
    auto* notifier =
        new QSocketNotifier(termination.ReadDescriptor(), QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, [&termination, &services] {
      if (termination.TakeRequests()) services.CloseAllScreens();
    });
  }

  platform::PosixEnv env({platform::DefaultDeviceRoot(), platform::DefaultDocumentsFolder(),
                          platform::ExecutableFolder()});
  platform::SystemClock clock;
  ledgerix::FinanceApp program(env, clock, services, &std::cerr);
  return program.Run();
}
