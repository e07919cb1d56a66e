#pragma once
// NullDriver: the driver of kinds 0 and 4, which can open nothing: every operation fails and
// the query text it builds is empty.

#include "engine/db_driver.h"

namespace ledgerix {

class NullDriver : public DbDriver {
 public:
  // Each answers 0.
  [[nodiscard]] int Open(const DbString& connection_string) override;
  int Close() override;
  [[nodiscard]] int OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                               uint32_t* out_row_count) override;
  [[nodiscard]] int Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index,
                          int hint) override;
  [[nodiscard]] int Write(DbRecordSet* record_set, int mode, uint32_t row_number) override;
  [[nodiscard]] int CloseCursor(DbRecordSet* record_set) override;
  int IsOpen() override;
  [[nodiscard]] int DeleteAllRows(DbRecordSet* record_set) override;
  // Empties `out_text` (nothing for null).
  void BuildQuery(DbString* out_text, const char* table_name, const char* condition) override;
};

}  // namespace ledgerix
