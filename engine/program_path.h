#pragma once
// Paths beside the program's own file ("\ledgerix.exe"), from which the engine builds its
// database, settings and archive folders.

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// The program file's path up to and including its last "\", followed by name: "\tolvena_db"
// for "tolvena_db". Just the name when the path holds no "\".
DbString ProgramPath(const platform::Env& env, const DbString& name);

// Splits the program file's path at its last "\" into the directory (without the "\", so ""
// for the root) and the file name; both empty when there is no "\". Either pointer may be null.
void ProgramDirectory(const platform::Env& env, DbString* dir, DbString* file);

}  // namespace ledgerix
