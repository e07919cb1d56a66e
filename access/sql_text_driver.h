#pragma once
// SqlTextDriver: the driver of kind 2, the place for a driver that speaks SQL. It executes
// nothing (every operation fails) but builds the SELECT statement that opens a table.

#include "access/null_driver.h"

namespace ledgerix {

class SqlTextDriver : public NullDriver {
 public:
  // Replaces `out_text` with "SELECT * FROM <table>;", with " WHERE <condition>" before the
  // ";" when the condition is neither null nor empty. A null table name counts as empty.
  void BuildQuery(DbString* out_text, const char* table_name, const char* condition) override;
};

}  // namespace ledgerix
