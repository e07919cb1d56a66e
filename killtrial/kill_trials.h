#pragma once
// Kill trials: a kind of work (TrialWork) runs in a child process on a device root of its own,
// through FinanceDb with the chosen storage, until the parent kills it with SIGKILL at a random
// moment; the parent then opens the database as the program's start does and checks what it
// holds against what the child had reported. Trial after trial on the same database.

#include <cstdint>
#include <string>

#include "engine/db_driver.h"
#include "killtrial/trial_work.h"

namespace ledgerix::killtrial {

struct TrialOptions {
  DriverKind storage = DriverKind::kFileDatabase;
  std::string work = "insert";  // one of TrialWorkNames()
  int trials = 10;
  uint32_t seed = 1;
  // The host folder under which the device lives; empty for a temporary folder that is removed
  // afterwards.
  std::string folder;
};

// Runs the trials and adds them up in *tally. False, with the reason in *error, when they
// could not run: an unknown work, a device that cannot be made, a work that cannot be prepared,
// a child that stopped by itself, a database that does not open after a kill (the trials stop
// there; the tally counts it).
bool RunKillTrials(const TrialOptions& options, TrialTally* tally, std::string* error);

}  // namespace ledgerix::killtrial
