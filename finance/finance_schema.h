#pragma once
// The layout of the finance database: its three tables with their columns in order, as they are
// created, written to the exchange file and read back.

#include "engine/db_schema.h"

namespace ledgerix {

// Column names of the finance tables.
namespace col {
inline constexpr char kId[] = "id";
inline constexpr char kDescr[] = "descr";
inline constexpr char kCategory[] = "category";
inline constexpr char kPrice[] = "price";
inline constexpr char kType[] = "type";
inline constexpr char kCurrencyId[] = "currency_id";
inline constexpr char kConsumerId[] = "consumer_id";
inline constexpr char kCurDate[] = "curdate";
inline constexpr char kCount[] = "count";
inline constexpr char kNote[] = "note";
inline constexpr char kFirmId[] = "firm_id";
inline constexpr char kFirmName[] = "firmName";
}  // namespace col

// The three tables, kinds first, then entries, then accounts.
DbSchema BuildFinanceSchema();

}  // namespace ledgerix
