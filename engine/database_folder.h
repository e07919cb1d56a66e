#pragma once
// The folder "tolvena_db" beside the program, in which the file database keeps one catalog file
// per database and one table file per table.

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

inline constexpr const char* kDatabaseFolderName = "tolvena_db";
inline constexpr const char* kCatalogFileExtension = ".$db$";
inline constexpr const char* kTableFileExtension = ".$tab$";

// The device path of the folder, name and extension: "\tolvena_db\[sec_data].$tab$". The folder
// is created first (a failure, such as the folder existing already, is ignored), so a caller can
// open the file at once. The name is used unchanged, brackets included.
DbString DatabaseFilePath(platform::Env& env, const DbString& name, const char* extension);

}  // namespace ledgerix
