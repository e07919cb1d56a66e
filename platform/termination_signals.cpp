#include "platform/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace ledgerix::platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// One pipe for the process: a signal handler may only touch what is async-signal-safe.
int g_pipe[2] = {-1, -1};

void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a request, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
  errno = saved;
}

void ClosePipe() {
  for (int& fd : g_pipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

}  // namespace

TerminationSignals::~TerminationSignals() {
  if (!installed_) return;
  for (int signal_number : kSignals) ::signal(signal_number, SIG_DFL);
  ClosePipe();
}

bool TerminationSignals::Install() {
  if (g_pipe[0] >= 0) return false;
  if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_pipe[0] = g_pipe[1] = -1;
    return false;
  }
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : kSignals) {
    if (sigaction(signal_number, &action, nullptr) != 0) {
      for (int undo : kSignals) ::signal(undo, SIG_DFL);
      ClosePipe();
      return false;
    }
  }
  installed_ = true;
  return true;
}

int TerminationSignals::ReadDescriptor() const { return installed_ ? g_pipe[0] : -1; }

bool TerminationSignals::TakeRequests() {
  if (!installed_) return false;
  bool any = false;
  char buffer[64];
  while (read(g_pipe[0], buffer, sizeof buffer) > 0) any = true;
  return any;
}

}  // namespace ledgerix::platform
