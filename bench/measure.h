#pragma once
// Measure: the benchmarks' own small harness. It runs an operation several times, answers the
// median time and the peak memory of the process meanwhile, and prints one line per measurement.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace ledgerix::bench {

struct Measurement {
  bool ok = false;         // every run answered true
  double median_ms = 0;    // of the timed runs
  int64_t peak_bytes = 0;  // the process's highest resident size during the runs
  int runs = 0;            // timed runs
};

// What one measurement runs. `before` and `after` are untimed and run around every run (either
// may be empty); `work` is timed and answers whether it did what it should.
struct Operation {
  std::function<void()> before;
  std::function<bool()> work;
  std::function<void()> after;
};

// Runs the operation once untimed, to warm the caches, then `runs` times timed (3 times when the
// warm-up took longer than a second). Stops at the first run that answers false.
Measurement Measure(const Operation& operation, int runs);

// The limits a measurement is held to; 0 for none.
struct Target {
  double max_ms = 0;
  double max_megabytes = 0;
};

// One line: driver kind, entries, name, median time, peak memory, runs, against the target "ok"
// or "MISS" (or "FAILED" when a run failed), and the note (when not empty) in brackets.
void PrintMeasurement(std::FILE* out, int kind, int entries, const std::string& name,
                      const Measurement& measurement, const Target& target,
                      const std::string& note);

}  // namespace ledgerix::bench
