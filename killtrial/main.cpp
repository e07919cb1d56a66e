// ledgerix_kill_trial: kills a process at random moments while it works on a finance database
// and checks the database after each kill (killtrial/kill_trials.h). Prints one line of totals:
//   storage work trials killed-in-flight partial lost duplicates unopened failed-steps
// and exits 0 when no trial lost or mixed anything, 1 when one did, 2 when the trials could not
// run.
//
//   ledgerix_kill_trial --storage 6 --work insert [--trials 100] [--seed N] [--folder DIR]
//                       [--header]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "killtrial/kill_trials.h"

namespace {

using ledgerix::DriverKind;
using ledgerix::killtrial::TrialOptions;
using ledgerix::killtrial::TrialTally;

int Usage() {
  std::string works;
  for (const std::string& name : ledgerix::killtrial::TrialWorkNames()) works += " " + name;
  std::fprintf(stderr,
               "usage: ledgerix_kill_trial --storage 3|6 --work WORK [--trials N] [--seed N] "
               "[--folder DIR] [--header]\nworks:%s\n",
               works.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  TrialOptions options;
  options.seed = std::random_device()();
  bool header = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--header") {
      header = true;
    } else if (arg == "--storage" && has_value) {
      const int kind = std::atoi(argv[++i]);
      if (kind != 3 && kind != 6) return Usage();
      options.storage = static_cast<DriverKind>(kind);
    } else if (arg == "--work" && has_value) {
      options.work = argv[++i];
    } else if (arg == "--trials" && has_value) {
      options.trials = std::atoi(argv[++i]);
    } else if (arg == "--seed" && has_value) {
      options.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--folder" && has_value) {
      options.folder = argv[++i];
    } else {
      return Usage();
    }
  }
  if (header) {
    std::printf(
        "storage\twork\ttrials\tkilled in flight\tpartial\tlost\tduplicates\tunopened\t"
        "failed steps\tseed\n");
  }
  TrialTally tally;
  std::string error;
  const bool ran = ledgerix::killtrial::RunKillTrials(options, &tally, &error);
  std::printf("%d\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%u\n", static_cast<int>(options.storage),
              options.work.c_str(), tally.trials, tally.killed_in_flight, tally.partial, tally.lost,
              tally.duplicates, tally.unopened, tally.failed_steps, options.seed);
  if (!ran) {
    std::fprintf(stderr, "ledgerix_kill_trial: %s\n", error.c_str());
    return 2;
  }
  return tally.partial + tally.lost + tally.duplicates + tally.unopened > 0 ? 1 : 0;
}
