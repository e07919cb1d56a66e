#include "reports/companion.h"

#include "engine/program_path.h"

namespace ledgerix {

bool StartCompanion(platform::Env& env, FinanceDb* db) {
  const bool reopen = db != nullptr && db->IsOpen();
  if (reopen) db->Close();
  const bool ran = env.RunAndWait(ProgramPath(env, DbString("ldxload.exe")).Wide());
  // A failed open leaves the database closed, which every screen checks.
  if (reopen) static_cast<void>(db->Open(kDatabaseName));
  return ran;
}

}  // namespace ledgerix
