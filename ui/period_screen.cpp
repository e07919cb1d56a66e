#include "ui/period_screen.h"

#include "reports/periods.h"

namespace ledgerix {
namespace {

PeriodScreen::Day DayOf(const platform::Clock& clock, int64_t time) {
  const platform::LocalTime local = clock.Local(time);
  return {local.year, local.month, local.day};
}

}  // namespace

PeriodScreen::PeriodScreen(ReportParams& params, const platform::Clock& clock)
    : params_(params), clock_(clock) {}

void PeriodScreen::Start() {
  from = DayOf(clock_, params_.period_from);
  till = DayOf(clock_, params_.period_till);
  period_type = params_.period_type >= 0 ? params_.period_type : -1;
}

void PeriodScreen::OnAccept() {
  params_.period_from = LocalNoonOf(clock_, from.year, from.month, from.day, params_.period_from);
  params_.period_till = LocalNoonOf(clock_, till.year, till.month, till.day, params_.period_till);
  if (period_type >= 0) params_.period_type = period_type;
}

}  // namespace ledgerix
