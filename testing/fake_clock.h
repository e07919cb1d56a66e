#pragma once
// A clock for tests: "now" is whatever the test sets, and Local() answers calendar time in UTC
// (not the machine's time zone), so a test that sets 2024-03-01 12:00 sees exactly that date
// and hour on every machine.

#include <cstdint>

#include "platform/clock.h"

namespace ledgerix::testing {

class FakeClock : public platform::Clock {
 public:
  explicit FakeClock(int64_t now = 0) : now_(now) {}

  // Sets now to a calendar time, read as UTC.
  void SetDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    now_ = platform::FromUtcTime(platform::LocalTime{year, month, day, hour, minute, second, 0});
  }
  void Set(int64_t now) { now_ = now; }
  void Advance(int64_t seconds) { now_ += seconds; }

  int64_t Now() const override { return now_; }
  // Calendar time in UTC; see the class comment.
  platform::LocalTime Local(int64_t t) const override { return platform::UtcTime(t); }

 private:
  int64_t now_;
};

}  // namespace ledgerix::testing
