// ldxload: the device root, the documents folder and the program folder come from the host, as
// for the program itself; the command line does the rest.
#include <iostream>
#include <string>
#include <vector>

#include "companion/companion_program.h"
#include "platform/host_paths.h"
#include "platform/posix_env.h"

int main(int argc, char** argv) {
  namespace platform = ledgerix::platform;
  platform::PosixEnv env({platform::DefaultDeviceRoot(), platform::DefaultDocumentsFolder(),
                          platform::ExecutableFolder()});
  platform::SystemClock clock;
  const std::vector<std::string> args(argv + 1, argv + argc);
  return ledgerix::RunCompanion(args, env, clock, std::cout, std::cerr);
}
