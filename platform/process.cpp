#include "platform/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace ledgerix::platform {

bool SpawnAndWait(const std::string& host_path, int* error) {
  std::string arg0 = host_path;
  char* argv[] = {arg0.data(), nullptr};
  pid_t pid = 0;
  // Every handle the platform opens is close-on-exec, so the child inherits none of them.
  const int spawn_error = ::posix_spawn(&pid, host_path.c_str(), nullptr, nullptr, argv, environ);
  if (spawn_error != 0) {
    *error = spawn_error;
    return false;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    // ECHILD: SIGCHLD is ignored and the child was reaped for us; it has ended all the same.
    if (errno != EINTR) break;
  }
  *error = 0;
  return true;
}

}  // namespace ledgerix::platform
