#include "fuzz/support/fuzz_stats.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace ledgerix::fuzz {
namespace {

std::map<std::string, uint64_t>& Counts() {
  static std::map<std::string, uint64_t> counts;
  return counts;
}

void PrintCounts() {
  for (const auto& [what, count] : Counts()) {
    std::fprintf(stderr, "%10llu  %s\n", static_cast<unsigned long long>(count), what.c_str());
  }
}

}  // namespace

void CountStat(const std::string& what) {
  static const bool wanted = std::getenv("LEDGERIX_FUZZ_STATS") != nullptr;
  if (!wanted) return;
  if (Counts().empty()) std::atexit(PrintCounts);
  ++Counts()[what];
}

}  // namespace ledgerix::fuzz
