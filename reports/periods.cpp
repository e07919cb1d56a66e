#include "reports/periods.h"

#include <array>
#include <charconv>
#include <string_view>

#include "reports/fitted_text.h"

namespace ledgerix {

int32_t DateKeyAt(const platform::Clock& clock, int64_t time) {
  platform::LocalTime local = clock.Local(time);
  return BuildDateKey(local.day, local.month, local.year);
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
      auto two_digits = [&](int n) {
        if (n < 10) *end++ = '0';
        end = std::to_chars(end, text + sizeof text, n).ptr;
      };
      two_digits(day);
      *end++ = '.';
      two_digits(month);
      *end++ = '.';
      two_digits(yy);
      return FittedText(std::string_view(text, static_cast<size_t>(end - text)));
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
