#include "killtrial/kill_trials.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/host_paths.h"
#include "platform/posix_env.h"

namespace ledgerix::killtrial {
namespace {

namespace fs = std::filesystem;

// The device's folders under a host folder, made when missing.
bool MakeDevice(const std::string& folder, platform::PosixEnvOptions* options) {
  options->device_root = folder + "/root";
  options->documents_folder = folder + "/documents";
  options->program_folder = folder + "/program";
  std::error_code error;
  for (const std::string* path :
       {&options->device_root, &options->documents_folder, &options->program_folder}) {
    fs::create_directories(*path, error);
    if (error) return false;
  }
  return true;
}

// A folder of its own under the temporary folder; empty when none can be made.
std::string MakeTemporaryFolder() {
  std::string pattern = platform::TemporaryFolder() + "/ledgerix-kill-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  return mkdtemp(buffer.data()) != nullptr ? std::string(buffer.data()) : std::string();
}

// Reads one event; false at the end of the pipe.
bool Receive(int fd, TrialEvent* event) {
  size_t have = 0;
  auto* bytes = reinterpret_cast<char*>(event);
  while (have < sizeof *event) {
    const ssize_t got = read(fd, bytes + have, sizeof *event - have);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    have += static_cast<size_t>(got);
  }
  return true;
}

// The child: a process of its own with an Env of its own (the parent holds none open across
// the fork, so no file or store handle is shared). Never returns.
[[noreturn]] void RunChild(TrialWork& work, const platform::PosixEnvOptions& options,
                           const FinanceGlobals& globals, int report_fd) {
  {
    platform::PosixEnv env(options);
    platform::SystemClock clock;
    TrialSetting setting{env, clock, globals};
    TrialReporter reporter(report_fd);
    work.Run(setting, reporter);
  }
  _exit(3);  // the work could not go on
}

// One trial: fork, let the child work, kill it as planned. The events it sent; false when it
// ended by itself.
bool KillOneChild(TrialWork& work, const KillPlan& plan, const platform::PosixEnvOptions& options,
                  const FinanceGlobals& globals, std::vector<TrialEvent>* events,
                  std::string* error) {
  int fds[2];
  if (pipe(fds) != 0) {
    *error = "no pipe";
    return false;
  }
  const pid_t child = fork();
  if (child < 0) {
    *error = "no fork";
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (child == 0) {
    close(fds[0]);
    RunChild(work, options, globals, fds[1]);
  }
  close(fds[1]);
  TrialEvent event;
  // Wait until the child is ready and has sent the planned events, then a while longer.
  int after_ready = -1;
  while (after_ready < plan.events && Receive(fds[0], &event)) {
    events->push_back(event);
    if (event.kind == TrialEvent::Kind::kReady)
      after_ready = 0;
    else if (after_ready >= 0)
      ++after_ready;
  }
  std::this_thread::sleep_for(plan.delay);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  while (Receive(fds[0], &event)) events->push_back(event);  // sent before the kill
  close(fds[0]);
  if (!WIFSIGNALED(status)) {
    *error = "the child stopped by itself (exit " + std::to_string(WEXITSTATUS(status)) + ")";
    return false;
  }
  return true;
}

bool RunTrials(TrialWork& work, const TrialOptions& options,
               const platform::PosixEnvOptions& device, TrialTally* tally, std::string* error) {
  FinanceGlobals globals;
  globals.storage_kind = options.storage;
  platform::SystemClock clock;
  {
    // Gone before the first fork: a child must not share the parent's open files or store.
    platform::PosixEnv env(device);
    TrialSetting setting{env, clock, globals};
    if (!work.Prepare(setting)) {
      *error = "the work could not be prepared";
      return false;
    }
  }
  std::mt19937 random(options.seed);
  for (int trial = 0; trial < options.trials; ++trial) {
    std::vector<TrialEvent> events;
    if (!KillOneChild(work, work.PlanKill(random), device, globals, &events, error)) return false;
    ++tally->trials;
    platform::PosixEnv env(device);
    FinanceDb db(env, clock, globals);
    if (!db.Open(kDatabaseName)) {
      ++tally->unopened;
      *error = "the database did not open after trial " + std::to_string(trial + 1);
      return false;
    }
    work.Check(db, events, tally);
  }
  return true;
}

}  // namespace

bool RunKillTrials(const TrialOptions& options, TrialTally* tally, std::string* error) {
  std::unique_ptr<TrialWork> work = MakeTrialWork(options.work);
  if (work == nullptr) {
    *error = "no work named " + options.work;
    return false;
  }
  const std::string folder = options.folder.empty() ? MakeTemporaryFolder() : options.folder;
  platform::PosixEnvOptions device;
  if (folder.empty() || !MakeDevice(folder, &device)) {
    *error = "no device folder";
    return false;
  }
  const bool ran = RunTrials(*work, options, device, tally, error);
  if (options.folder.empty()) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  return ran;
}

}  // namespace ledgerix::killtrial
