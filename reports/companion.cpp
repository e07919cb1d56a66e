#include "reports/companion.h"

#include "engine/program_path.h"

namespace ledgerix {

bool StartCompanion(platform::Env& env) {
  return env.RunAndWait(ProgramPath(env, DbString("ldxload.exe")).Wide());
}

}  // namespace ledgerix
