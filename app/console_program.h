#pragma once
// The program without its screens: takes the device, starts up, prints the state the main screen
// would start from, and ends in order. It stands in for the windowed program until the screens
// exist, and shows that start-up and the orderly end work on a real device root.

#include <ostream>

#include "platform/clock.h"
#include "platform/posix_env.h"

namespace ledgerix {

// Runs the whole life of the program on `env`. Answers the process exit status: 0 after an
// orderly end; 1 when another copy holds the device or the database did not open, after printing
// the failure message.
int RunConsoleProgram(platform::PosixEnv& env, const platform::Clock& clock, std::ostream& out);

}  // namespace ledgerix
