#pragma once
// The layouts a stored finance database may have: the current one (BuildFinanceSchema), the
// older one whose entries had neither note nor account nor currency and were counted in whole
// units (with or without the accounts table), or neither, which is damage. And the conversion of
// the exchange text of an older database into the current layout.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/db_schema.h"
#include "finance/rebuild_text.h"

namespace ledgerix {

enum class StoredLayout {
  kCurrent,  // exactly the tables and columns of BuildFinanceSchema
  kOlder,    // kinds as now, the older entries, and accounts as now or none
  kUnknown,  // anything else: a damaged catalog
};

// Which layout a stored catalog has. Tables may come in any order; columns must come in their
// order, with their names and types.
StoredLayout ClassifyLayout(const DbSchema& catalog);

// The schema of the older layout, as ClassifyLayout accepts it.
DbSchema OlderLayoutSchema(bool with_accounts);

// The current-layout exchange text of a database of the older layout, from its exchange text:
// kinds and accounts as they are; each entry with its count (whole units stored as they were)
// packed as that many units, an empty note and account 1; and the account 1 "Наличные" when no
// account has that id. Rows that the current tables cannot store are left out and counted per
// table in *left_out.
std::string ConvertOlderLayoutText(std::string_view older_text, RowCounts* left_out);

}  // namespace ledgerix
