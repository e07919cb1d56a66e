#include "platform/clock.h"

#include <ctime>

namespace ledgerix::platform {
namespace {

LocalTime FromTm(const std::tm& tm) {
  LocalTime time;
  time.year = tm.tm_year + 1900;
  time.month = tm.tm_mon + 1;
  time.day = tm.tm_mday;
  time.hour = tm.tm_hour;
  time.minute = tm.tm_min;
  time.second = tm.tm_sec;
  time.day_of_week = tm.tm_wday;
  return time;
}

}  // namespace

int64_t SystemClock::Now() const { return static_cast<int64_t>(std::time(nullptr)); }

LocalTime SystemClock::Local(int64_t t) const {
  const auto host_time = static_cast<std::time_t>(t);
  std::tm tm{};
  if (::localtime_r(&host_time, &tm) == nullptr) return LocalTime{};
  return FromTm(tm);
}

LocalTime UtcTime(int64_t t) {
  const auto host_time = static_cast<std::time_t>(t);
  std::tm tm{};
  if (::gmtime_r(&host_time, &tm) == nullptr) return LocalTime{};
  return FromTm(tm);
}

int64_t FromUtcTime(const LocalTime& time) {
  std::tm tm{};
  tm.tm_year = time.year - 1900;
  tm.tm_mon = time.month - 1;
  tm.tm_mday = time.day;
  tm.tm_hour = time.hour;
  tm.tm_min = time.minute;
  tm.tm_sec = time.second;
  return static_cast<int64_t>(::timegm(&tm));
}

}  // namespace ledgerix::platform
