#pragma once
// The categories of one direction's kinds, as both kinds screens list them.

#include <vector>

#include "engine/db_string.h"
#include "finance/finance_records.h"

namespace ledgerix {

// The distinct categories of the kinds of `direction` (1 income, 2 expense), in the order of
// their first appearance in `kinds`; the empty category counts like any other.
std::vector<DbString> CategoriesOf(const std::vector<KindRecord>& kinds, int32_t direction);

}  // namespace ledgerix
