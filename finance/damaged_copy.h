#pragma once
// Keeping a copy of a finance database that exists but cannot be read, before it is rebuilt, so
// that nothing the user stored is lost to the rebuild.

#include "engine/db_string.h"
#include "platform/clock.h"
#include "platform/env.h"

namespace ledgerix {

// Copies the catalog file of `database_name` and every table file of the database folder into a
// new dated folder under "data". True when every file that exists was copied whole (a folder is
// made even when there is no file at all).
bool KeepFileDatabaseCopy(platform::Env& env, const platform::Clock& clock,
                          const DbString& database_name);

// Copies the whole object store into a new dated folder under "data". True when the copy is whole.
bool KeepObjectStoreCopy(platform::Env& env, const platform::Clock& clock);

}  // namespace ledgerix
