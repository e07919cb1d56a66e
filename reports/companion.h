#pragma once
// The hand-over to the desktop companion program "ldxload.exe", which exchanges the data with a
// desktop computer; this program only starts it and waits for it.

#include "platform/env.h"

namespace ledgerix {

// Starts the companion from the program's folder with an empty command line and waits until it
// ends; the whole program waits with it. False when it cannot be started (missing, not a
// program); the screen shows nothing then.
[[nodiscard]] bool StartCompanion(platform::Env& env);

}  // namespace ledgerix
