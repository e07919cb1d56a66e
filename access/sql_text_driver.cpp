#include "access/sql_text_driver.h"

namespace ledgerix {

void SqlTextDriver::BuildQuery(DbString* out_text, const char* table_name, const char* condition) {
  if (out_text == nullptr) return;
  DbString query("SELECT * FROM ");
  query.Append(table_name);
  if (condition != nullptr && condition[0] != '\0') {
    query.Append(" WHERE ");
    query.Append(condition);
  }
  query.Append(";");
  *out_text = std::move(query);
}

}  // namespace ledgerix
