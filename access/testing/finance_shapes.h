#pragma once
// The shapes of the finance database's three tables (kinds, entries, accounts), for tests of
// the storage drivers: the same names, column names, types and order as the finance layer uses.

#include "engine/db_schema.h"

namespace ledgerix::testing {

inline constexpr char kKindsTable[] = "[sec_consumeritems]";
inline constexpr char kEntriesTable[] = "[sec_data]";
inline constexpr char kAccountsTable[] = "[sec_firms]";

// The three tables in the order the finance layer creates them: kinds (id, descr, category,
// price, type, currency_id), entries (consumer_id, curdate, price, count, type, note, firm_id,
// currency_id) and accounts (id, firmName, note, currency_id).
DbSchema FinanceShapes();

}  // namespace ledgerix::testing
