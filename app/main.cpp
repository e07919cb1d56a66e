// The program's entry point: the device root, the documents folder and the program folder come
// from the host; everything else runs on them.
#include <iostream>
#include <string>
#include <vector>

#include "app/console_program.h"
#include "app/program_options.h"
#include "platform/host_paths.h"
#include "platform/posix_env.h"

int main(int argc, char** argv) {
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
  namespace platform = ledgerix::platform;
  platform::PosixEnv env({platform::DefaultDeviceRoot(), platform::DefaultDocumentsFolder(),
                          platform::ExecutableFolder()});
  platform::SystemClock clock;
  return ledgerix::RunConsoleProgram(env, clock, std::cout);
}
