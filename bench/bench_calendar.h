#pragma once
// What the household benchmarks share about time and the list: a clock that reads its calendar
// in UTC, so that report periods are the same days on every machine, the noon of a day as a
// period bound, and the statistics list's width.

#include <cstdint>

#include "platform/clock.h"

namespace ledgerix::bench {

// Targets are checked at this many entries.
inline constexpr int kTargetEntries = 50000;
// The statistics list's width in pixels on the handheld's screen.
inline constexpr int kListWidth = 232;

// The host's clock, its calendar read in UTC.
class UtcClock : public platform::SystemClock {
 public:
  platform::LocalTime Local(int64_t t) const override { return platform::UtcTime(t); }
};

// Noon of a day, in seconds since 1970: a period bound, of which only the day counts.
inline int64_t Noon(int year, int month, int day) {
  return platform::FromUtcTime(platform::LocalTime{year, month, day, 12, 0, 0, 0});
}

}  // namespace ledgerix::bench
