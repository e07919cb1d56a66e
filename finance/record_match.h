#pragma once
// The lookup rules of FindAccount and FindKind, for the operations that read a table once and
// look many rows up in memory: they pick exactly the row that the lookup would pick.

#include <cstdint>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_records.h"

namespace ledgerix {

// The row's id equals a non-zero `id`, or its name equals a non-empty `name` byte for byte.
bool AccountMatches(const AccountRecord& row, int32_t id, const DbString& name);
// As AccountMatches, among the kinds whose type equals `type` (every kind for type 0).
bool KindMatches(const KindRecord& row, int32_t id, int32_t type, const DbString& name);

// The first matching row in table order, or null.
const AccountRecord* FindAccountIn(const std::vector<AccountRecord>& rows, int32_t id,
                                   const DbString& name);
const KindRecord* FindKindIn(const std::vector<KindRecord>& rows, int32_t id, int32_t type,
                             const DbString& name);

}  // namespace ledgerix
