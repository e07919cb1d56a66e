#pragma once
// PeriodScreen: the rules of "Выбор периода": the first and last day of the report's period and
// the granularity of its rows ("День", "Месяц", "Год"). The report's parameters change only on
// "Выбрать"; there is no check that the start precedes the end.

#include <string_view>

#include "platform/clock.h"
#include "reports/report_params.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class PeriodScreen : public ScreenRules {
 public:
  // A day as the date pickers show it.
  struct Day {
    int year = 2000;
    int month = 1;  // 1 to 12
    int day = 1;
  };

  // `params` is the caller's and must outlive the screen.
  PeriodScreen(ReportParams& params, const platform::Clock& clock);

  std::string_view ScreenName() const override { return "PeriodDialog"; }

  // The pickers show the local days of the period's bounds; the radio group the granularity
  // (none selected for a number below 0).
  void Start();
  // "Выбрать": both days (as their local noon) and the granularity go into the parameters; a
  // granularity of none selected leaves the parameters' own.
  void OnAccept();

  // The fields of the screen, read and written by its dialog.
  Day from;
  Day till;
  int period_type = kPeriodDay;  // 0 "День", 1 "Месяц", 2 "Год"; -1 none

 private:
  ReportParams& params_;
  const platform::Clock& clock_;
};

}  // namespace ledgerix
