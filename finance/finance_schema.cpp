#include "finance/finance_schema.h"

#include "finance/finance_db.h"

namespace ledgerix {

DbSchema BuildFinanceSchema() {
  constexpr DbValueType kInt = DbValueType::Int32;
  constexpr DbValueType kText = DbValueType::Text;
  DbSchema schema;
  DbTableSchema& kinds = schema.AddTable(kKindsTable);
  kinds.AddColumn(col::kId, kInt);
  kinds.AddColumn(col::kDescr, kText);
  kinds.AddColumn(col::kCategory, kText);
  kinds.AddColumn(col::kPrice, kInt);
  kinds.AddColumn(col::kType, kInt);
  kinds.AddColumn(col::kCurrencyId, kInt);

  DbTableSchema& entries = schema.AddTable(kEntriesTable);
  entries.AddColumn(col::kConsumerId, kInt);
  entries.AddColumn(col::kCurDate, kInt);
  entries.AddColumn(col::kPrice, kInt);
  entries.AddColumn(col::kCount, kInt);
  entries.AddColumn(col::kType, kInt);
  entries.AddColumn(col::kNote, kText);
  entries.AddColumn(col::kFirmId, kInt);
  entries.AddColumn(col::kCurrencyId, kInt);

  DbTableSchema& accounts = schema.AddTable(kAccountsTable);
  accounts.AddColumn(col::kId, kInt);
  accounts.AddColumn(col::kFirmName, kText);
  accounts.AddColumn(col::kNote, kText);
  accounts.AddColumn(col::kCurrencyId, kInt);
  return schema;
}

}  // namespace ledgerix
