#pragma once
// The categories of one direction's kinds, as both kinds screens list them.

#include <vector>

#include "engine/db_string.h"
#include "finance/finance_records.h"

namespace ledgerix {

// The distinct categories of the kinds of `direction` (1 income, 2 expense), in the order of
// their first appearance in `kinds`; the empty category counts like any other.
std::vector<DbString> CategoriesOf(const std::vector<KindRecord>& kinds, int32_t direction);

// The categories of all `kinds`, whatever their direction, in the order of their first
// appearance, each once: a category equal to a listed one but for the case of its letters
// (SameTextIgnoringCase) is not listed again.
std::vector<DbString> CategoriesIgnoringCase(const std::vector<KindRecord>& kinds);

// Whether two Windows-1251 texts are equal when the capital and small forms of each Latin and
// Cyrillic letter count as the same ("ЕДА" and "еда", "Ёж" and "ёж").
bool SameTextIgnoringCase(const DbString& a, const DbString& b);

}  // namespace ledgerix
