#pragma once
// Starting a host program and waiting for it to end: how the program hands over to its
// desktop companion.

#include <string>

namespace ledgerix::platform {

// Starts the executable file at host_path without arguments, with this process's environment
// and standard streams, and blocks until it ends. Answers true when it started (whatever its
// exit status); false when it could not start, with the reason in *error (an errno).
[[nodiscard]] bool SpawnAndWait(const std::string& host_path, int* error);

}  // namespace ledgerix::platform
