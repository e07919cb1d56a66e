#include "reports/report_params.h"

namespace ledgerix {

ReportParams InitialReportParams(int64_t now) {
  ReportParams params;
  params.period_from = now - kDefaultPeriodSeconds;
  params.period_till = now;
  return params;
}

}  // namespace ledgerix
