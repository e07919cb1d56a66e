// The program's entry point: the device root, the documents folder and the program folder come
// from the host; everything else runs on them.
#include <iostream>

#include "app/console_program.h"
#include "platform/host_paths.h"
#include "platform/posix_env.h"

int main() {
  namespace platform = ledgerix::platform;
  platform::PosixEnv env({platform::DefaultDeviceRoot(), platform::DefaultDocumentsFolder(),
                          platform::ExecutableFolder()});
  platform::SystemClock clock;
  return ledgerix::RunConsoleProgram(env, clock, std::cout);
}
