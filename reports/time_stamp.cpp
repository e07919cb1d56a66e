#include "reports/time_stamp.h"

namespace ledgerix {
namespace {

// Every number of a stamp takes exactly two digits, so that the names of one kind all have
// the same length and line up in a file list.
void AppendTwoDigits(DbString* out, int value) {
  const int clamped = value < 0 ? 0 : value % 100;
  const char digits[3] = {static_cast<char>('0' + clamped / 10),
                          static_cast<char>('0' + clamped % 10), '\0'};
  out->Append(digits);
}

DbString Stamp(const platform::LocalTime& time, const char* date_separator) {
  DbString stamp;
  AppendTwoDigits(&stamp, time.day);
  stamp.Append(date_separator);
  AppendTwoDigits(&stamp, time.month);
  stamp.Append(date_separator);
  AppendTwoDigits(&stamp, TwoDigitYear(time.year));
  stamp.Append(" ");
  AppendTwoDigits(&stamp, time.hour);
  stamp.Append("_");
  AppendTwoDigits(&stamp, time.minute);
  return stamp;
}

}  // namespace

int TwoDigitYear(int year) {
  const int two_digits = year % 100;
  return two_digits < 0 ? two_digits + 100 : two_digits;
}

DbString ExportStamp(const platform::LocalTime& time) { return Stamp(time, "_"); }

DbString ArchiveStamp(const platform::LocalTime& time) { return Stamp(time, "."); }

}  // namespace ledgerix
