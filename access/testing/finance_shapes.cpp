#include "access/testing/finance_shapes.h"

namespace ledgerix::testing {

DbSchema FinanceShapes() {
  constexpr DbValueType kInt = DbValueType::Int32;
  constexpr DbValueType kText = DbValueType::Text;
  DbSchema schema;
  DbTableSchema& kinds = schema.AddTable(kKindsTable);
  kinds.AddColumn("id", kInt);
  kinds.AddColumn("descr", kText);
  kinds.AddColumn("category", kText);
  kinds.AddColumn("price", kInt);
  kinds.AddColumn("type", kInt);
  kinds.AddColumn("currency_id", kInt);
  DbTableSchema& entries = schema.AddTable(kEntriesTable);
  entries.AddColumn("consumer_id", kInt);
  entries.AddColumn("curdate", kInt);
  entries.AddColumn("price", kInt);
  entries.AddColumn("count", kInt);
  entries.AddColumn("type", kInt);
  entries.AddColumn("note", kText);
  entries.AddColumn("firm_id", kInt);
  entries.AddColumn("currency_id", kInt);
  DbTableSchema& accounts = schema.AddTable(kAccountsTable);
  accounts.AddColumn("id", kInt);
  accounts.AddColumn("firmName", kText);
  accounts.AddColumn("note", kText);
  accounts.AddColumn("currency_id", kInt);
  return schema;
}

}  // namespace ledgerix::testing
