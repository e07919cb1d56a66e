#include "engine/database_folder.h"

#include "engine/program_path.h"

namespace ledgerix {

DbString DatabaseFilePath(platform::Env& env, const DbString& name, const char* extension) {
  DbString path = ProgramPath(env, DbString(kDatabaseFolderName));
  static_cast<void>(env.CreateDirectory(path.Wide()));  // opening the file tells
  path.Append("\\");
  path.AppendString(name);
  path.Append(extension);
  return path;
}

}  // namespace ledgerix
