#pragma once
// The clock as the program sees it: seconds since 1 January 1970 and their local calendar
// time. Behind an interface so that tests can fix "now".

#include <cstdint>

namespace ledgerix::platform {

// A broken-down calendar time.
struct LocalTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int day_of_week = 4;  // 0 Sunday to 6 Saturday; 1 January 1970 was a Thursday

  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since 1970-01-01 00:00:00 UTC.
  virtual int64_t Now() const = 0;
  // The calendar time of t (seconds since 1970) in the clock's time zone.
  virtual LocalTime Local(int64_t t) const = 0;
};

// The host's clock in the user's time zone.
class SystemClock : public Clock {
 public:
  int64_t Now() const override;
  // Answers 1970-01-01 00:00:00 (a Thursday) should the host fail to convert t.
  LocalTime Local(int64_t t) const override;
};

// The calendar time of t in UTC: the conversion the fake clocks of tests use so that they do
// not depend on the machine's time zone. Defined for any t the host's time_t holds.
LocalTime UtcTime(int64_t t);

// Seconds since 1970 of a UTC calendar time (the inverse of UtcTime; day_of_week is ignored).
int64_t FromUtcTime(const LocalTime& time);

}  // namespace ledgerix::platform
