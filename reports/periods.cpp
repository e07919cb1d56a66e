#include "reports/periods.h"

#include <array>
#include <charconv>
#include <iterator>
#include <string_view>
#include <system_error>

#include "reports/fitted_text.h"

namespace ledgerix {
namespace {

// Appends `c` at *end when the buffer ending at `last` has room; false otherwise.
bool AppendChar(char** end, char* last, char c) {
  if (*end == last) return false;
  *(*end)++ = c;
  return true;
}

// Appends `n` at *end with at least two digits ("05"); false when the buffer ending at `last`
// has no room for it, leaving *end where the text written so far stops.
bool AppendTwoDigits(char** end, char* last, int n) {
  if (n >= 0 && n < 10 && !AppendChar(end, last, '0')) return false;
  const std::to_chars_result result = std::to_chars(*end, last, n);
  if (result.ec != std::errc()) return false;
  *end = result.ptr;
  return true;
}

}  // namespace

int32_t DateKeyAt(const platform::Clock& clock, int64_t time) {
  platform::LocalTime local = clock.Local(time);
  return BuildDateKey(local.day, local.month, local.year);
}

int64_t LocalNoonOf(const platform::Clock& clock, int year, int month, int day, int64_t near) {
  const int64_t wanted = platform::FromUtcTime(platform::LocalTime{year, month, day, 12, 0, 0, 0});
  int64_t time = near;
  // Each step moves by the distance between the local time reached and the one wanted; the
  // second corrects an offset that changed between `near` and the day.
  for (int step = 0; step < 3; ++step) {
    const int64_t reached = platform::FromUtcTime(clock.Local(time));
    if (reached == wanted) break;
    time += wanted - reached;
  }
  return time;
}

PeriodRange::PeriodRange(int32_t from_key, int32_t till_key)
    : from_(DayOrdinal(from_key)), till_(DayOrdinal(till_key)) {}

PeriodRange PeriodRange::Of(const ReportParams& params, const platform::Clock& clock) {
  return PeriodRange(DateKeyAt(clock, params.period_from), DateKeyAt(clock, params.period_till));
}

PeriodPlace PeriodRange::Place(int32_t entry_key) const {
  uint32_t day = DayOrdinal(entry_key);
  if (day < from_) return PeriodPlace::kBefore;
  if (day <= till_) return PeriodPlace::kInside;
  return PeriodPlace::kAfter;
}

DbString MonthAbbreviation(int month) {
  static constexpr std::array<const char*, 12> kNames = {"янв.",  "фев.", "март",  "апр.",
                                                         "май",   "июнь", "июль",  "авг.",
                                                         "сент.", "окт.", "нояб.", "дек."};
  if (month < 1 || month > 12) return DbString("unknown");
  return FromUtf8(kNames[month - 1]);
}

DbString PeriodLine(const ReportParams& params, const platform::Clock& clock) {
  platform::LocalTime from = clock.Local(params.period_from);
  platform::LocalTime till = clock.Local(params.period_till);
  DbString line;
  line.Format(FromUtf8("Период с: %d.%d.%d по %d.%d.%d").CStr(), from.day, from.month, from.year,
              till.day, till.month, till.year);
  return line;
}

DbString RowCaption(int32_t period_type, int day, int month, int yy) {
  DbString caption;
  switch (period_type) {
    case kPeriodDay: {
      // "05.03.08": one caption per row of a day report, so it is put together directly.
      char text[48];
      char* end = text;
      const bool written =
          AppendTwoDigits(&end, std::end(text), day) && AppendChar(&end, std::end(text), '.') &&
          AppendTwoDigits(&end, std::end(text), month) && AppendChar(&end, std::end(text), '.') &&
          AppendTwoDigits(&end, std::end(text), yy);
      if (written) return FittedText(std::string_view(text, static_cast<size_t>(end - text)));
      caption.FormatEx("%02L.%02L.%02L", day, month, yy);
      break;
    }
    case kPeriodMonth:
      // The grave accent stands for the century, as on the year rows before 2010.
      caption.Format(FromUtf8(yy < 10 ? "%s`0%d год" : "%s`%d год").CStr(),
                     MonthAbbreviation(month), yy);
      break;
    case kPeriodYear:
      caption.Format(FromUtf8(yy < 10 ? "`0%d год" : "'%d").CStr(), yy);
      break;
    default:
      break;
  }
  return FittedText(caption.View());
}

}  // namespace ledgerix
