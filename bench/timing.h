#pragma once
// Timing for the small single-purpose benchmarks: the wall time of a piece of work and the
// median over several runs of it.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace ledgerix::bench {

inline double MillisecondsOf(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The median of `runs` timed runs (at least one).
inline double MedianMilliseconds(const std::function<void()>& work, int runs) {
  std::vector<double> times;
  for (int i = 0; i < std::max(runs, 1); ++i) times.push_back(MillisecondsOf(work));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace ledgerix::bench
