#include "access/null_driver.h"

namespace ledgerix {

int NullDriver::Open(const DbString&) { return 0; }

int NullDriver::Close() { return 0; }

int NullDriver::OpenCursor(const DbString&, DbRecordSet*, uint32_t*) { return 0; }

int NullDriver::Fetch(DbRecordSet*, int, uint32_t, int) { return 0; }

int NullDriver::Write(DbRecordSet*, int, uint32_t) { return 0; }

int NullDriver::CloseCursor(DbRecordSet*) { return 0; }

int NullDriver::IsOpen() { return 0; }

int NullDriver::DeleteAllRows(DbRecordSet*) { return 0; }

void NullDriver::BuildQuery(DbString* out_text, const char*, const char*) {
  if (out_text != nullptr) *out_text = DbString();
}

}  // namespace ledgerix
