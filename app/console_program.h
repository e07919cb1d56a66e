#pragma once
// The program without its screens: takes the device, starts up, prints the state the main screen
// would start from, and ends in order. It stands in for the windowed program until the screens
// exist, and shows that start-up and the orderly end work on a real device root.

#include <ostream>

#include "app/startup_message.h"
#include "platform/clock.h"
#include "platform/posix_env.h"

namespace ledgerix {

// Names device paths by their host paths on `env` (which must outlive the namer).
HostPathNamer HostPathsOf(const platform::PosixEnv& env);

// Runs the whole life of the program on `env`. Prints the start-up message when there is one
// (what start-up found damaged, salvaged or converted, or why it cannot start). Answers the
// process exit status: 0 after an orderly end; 1 when another copy holds the device, the device
// root or the settings file cannot be used, or the database did not open.
int RunConsoleProgram(platform::PosixEnv& env, const platform::Clock& clock, std::ostream& out);

}  // namespace ledgerix
