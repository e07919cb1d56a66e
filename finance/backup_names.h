#pragma once
// The dated names under the "data" folder beside the program where the finance database leaves
// what it saves before a rebuild: the exchange file of an older layout, and the copy of the
// files of a database that cannot be read.

#include "engine/db_string.h"
#include "platform/clock.h"
#include "platform/env.h"

namespace ledgerix {

// The local time now as "dd.mm.yy hh_mm", each number with two digits.
DbString BackupStamp(const platform::Clock& clock);

// Creates the "data" folder beside the program when it is missing. True when it exists after.
[[nodiscard]] bool EnsureDataFolder(platform::Env& env);

// "<stamp>.txt", or when a file of that name exists in the "data" folder, "<stamp> (2).txt" and
// so on: a name in that folder under which nothing is written over.
DbString FreeBackupName(platform::Env& env, const platform::Clock& clock);

// "\data\" + FreeBackupName: where the contents of a database of an older layout are saved,
// never over an archive saved in the same minute.
DbString OlderLayoutBackupPath(platform::Env& env, const platform::Clock& clock);

// Creates a new folder "\data\damaged <stamp>" (with " (2)", " (3)" ... when that name is
// taken) and stores its device path, without a closing "\", in *folder. False when no folder
// could be created.
[[nodiscard]] bool CreateDamagedCopyFolder(platform::Env& env, const platform::Clock& clock,
                                           DbString* folder);

}  // namespace ledgerix
