#include "bench/measure.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/process_memory.h"

namespace ledgerix::bench {
namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

bool RunOnce(const Operation& operation, double* milliseconds) {
  if (operation.before) operation.before();
  const auto start = std::chrono::steady_clock::now();
  const bool ok = operation.work();
  const auto end = std::chrono::steady_clock::now();
  if (operation.after) operation.after();
  *milliseconds = std::chrono::duration<double, std::milli>(end - start).count();
  return ok;
}

}  // namespace

Measurement Measure(const Operation& operation, int runs) {
  Measurement measurement;
  // Where the host cannot start a new peak, the peak since the process started is reported: an
  // upper bound of the runs' own, which is what a target holds it to.
  static_cast<void>(platform::ResetPeakMemory());
  double warm_up = 0;
  if (!RunOnce(operation, &warm_up)) return measurement;
  if (warm_up > 1000) runs = std::min(runs, 3);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double milliseconds = 0;
    if (!RunOnce(operation, &milliseconds)) return measurement;
    times.push_back(milliseconds);
  }
  std::sort(times.begin(), times.end());
  const size_t middle = times.size() / 2;
  measurement.median_ms =
      times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
  measurement.peak_bytes = platform::PeakMemoryBytes();
  measurement.runs = runs;
  measurement.ok = true;
  return measurement;
}

void PrintMeasurement(std::FILE* out, int kind, int entries, const std::string& name,
                      const Measurement& measurement, const Target& target,
                      const std::string& note) {
  std::fprintf(out, "kind %d  entries %6d  %-44s", kind, entries, name.c_str());
  if (!measurement.ok) {
    std::fprintf(out, "  FAILED\n");
    std::fflush(out);
    return;
  }
  const double megabytes = static_cast<double>(measurement.peak_bytes) / kMegabyte;
  std::fprintf(out, " median %9.2f ms  peak %6.1f MB  runs %2d", measurement.median_ms, megabytes,
               measurement.runs);
  if (target.max_ms > 0) {
    const bool met = measurement.median_ms <= target.max_ms &&
                     (target.max_megabytes <= 0 || megabytes <= target.max_megabytes);
    std::fprintf(out, "  target %5.0f ms %s", target.max_ms, met ? "ok" : "MISS");
  }
  if (!note.empty()) std::fprintf(out, "  (%s)", note.c_str());
  std::fprintf(out, "\n");
  std::fflush(out);
}

}  // namespace ledgerix::bench
