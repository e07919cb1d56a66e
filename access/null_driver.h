#pragma once
// NullDriver: the driver of kinds 0 and 4, which can open nothing: every operation fails and
// the query text it builds is empty.

#include "engine/db_driver.h"

namespace ledgerix {

class NullDriver : public DbDriver {
 public:
  // Each answers 0.
  int Open(const DbString& connection_string) override;
  int Close() override;
  int OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                 uint32_t* out_row_count) override;
  int Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index, int hint) override;
  int Write(DbRecordSet* record_set, int mode, uint32_t row_number) override;
  int RowCount(uint32_t* out_count) override;
  int Reserved() override;
  int CloseCursor(DbRecordSet* record_set) override;
  int IsOpen() override;
  int DeleteAllRows(DbRecordSet* record_set) override;
  // Empties `out_text` (nothing for null).
  void BuildQuery(DbString* out_text, const char* table_name, const char* condition) override;
};

}  // namespace ledgerix
