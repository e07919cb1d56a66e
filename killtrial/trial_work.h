#pragma once
// TrialWork: one kind of work that kill trials run in a child process until the parent kills
// it, and the check of what the database holds when it is opened again afterwards. Each kind
// ("insert", "restore", ...) is a class of its own behind MakeTrialWork; the runner
// (kill_trials.h) knows none of them.

#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "finance/finance_db.h"
#include "platform/clock.h"
#include "platform/env.h"

namespace ledgerix::killtrial {

// What the child tells the parent, one event at a time.
struct TrialEvent {
  enum class Kind : int32_t {
    kReady = 1,     // the database is open; the work begins
    kStarted = 2,   // an operation began: `step` says which
    kAnswered = 3,  // it answered `answer`
  };
  Kind kind = Kind::kReady;
  int32_t step = 0;
  int32_t answer = 0;
};

// Sends the child's events to the parent through a pipe. A failed send ends the child.
class TrialReporter {
 public:
  explicit TrialReporter(int fd) : fd_(fd) {}
  void Ready() { Send({TrialEvent::Kind::kReady, 0, 0}); }
  void Started(int32_t step) { Send({TrialEvent::Kind::kStarted, step, 0}); }
  void Answered(int32_t step, int32_t answer) { Send({TrialEvent::Kind::kAnswered, step, answer}); }

 private:
  void Send(const TrialEvent& event);

  int fd_;
};

// Where a trial's process works: its files, its clock and the storage it opens.
struct TrialSetting {
  platform::Env& env;
  const platform::Clock& clock;
  const FinanceGlobals& globals;
};

// The totals of a series of trials.
struct TrialTally {
  int trials = 0;
  int killed_in_flight = 0;  // kills that came while an operation was under way
  int partial = 0;           // trials after which the data was neither the old nor the new
  int lost = 0;              // acknowledged writes missing after the kill
  int duplicates = 0;        // rows found more than once
  int unopened = 0;          // databases that did not open after the kill
  int failed_steps = 0;      // operations that answered 0 before the kill
};

// When the parent kills: after the child sent `events` events past kReady, and `delay` later.
struct KillPlan {
  int events = 0;
  std::chrono::microseconds delay{0};
};

class TrialWork {
 public:
  virtual ~TrialWork() = default;
  // In the parent, once, on a fresh device root: makes the database and whatever the work
  // needs, and learns how long a step takes. False when that fails.
  virtual bool Prepare(TrialSetting& setting) = 0;
  // When to kill the next trial's child.
  virtual KillPlan PlanKill(std::mt19937& random) const = 0;
  // In the child (a copy of the parent as it was after the last Check): opens the database and
  // works until killed, telling the parent of every operation. Returns only when it cannot go
  // on.
  virtual void Run(TrialSetting& setting, TrialReporter& reporter) = 0;
  // In the parent after the kill, with the database opened as the program's start opens it:
  // compares it with the child's events and adds to *tally. What it found is where the next
  // trial starts.
  virtual void Check(FinanceDb& db, const std::vector<TrialEvent>& events, TrialTally* tally) = 0;
};

// The kinds of work by name; null for a name that is none of TrialWorkNames().
std::unique_ptr<TrialWork> MakeTrialWork(std::string_view name);
std::vector<std::string> TrialWorkNames();

}  // namespace ledgerix::killtrial
