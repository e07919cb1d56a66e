#pragma once
// Keeping a copy of a finance database that is damaged, before anything of it is changed, so
// that nothing the user stored is lost to the rebuild that follows.

#include "engine/db_string.h"
#include "finance/stored_database.h"
#include "platform/clock.h"
#include "platform/env.h"

namespace ledgerix {

// Copies everything the database `name` is kept in (StoredDatabase::CopyInto) into a new dated
// folder "\data\damaged <stamp>". True, with the folder's device path in *folder, when the copy
// is whole. False when it is not, with *failure saying why; the folder is then removed again
// with whatever was written into it, so no half copy is ever taken for a whole one.
[[nodiscard]] bool KeepDamagedCopy(StoredDatabase& storage, platform::Env& env,
                                   const platform::Clock& clock, const DbString& name,
                                   DbString* folder, platform::FailureDetail* failure);

// Removes a folder with the files in it (not folders inside it). True when it is gone.
[[nodiscard]] bool RemoveFolderWithFiles(platform::Env& env, const DbString& folder);

}  // namespace ledgerix
