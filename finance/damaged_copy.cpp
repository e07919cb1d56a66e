#include "finance/damaged_copy.h"

#include <vector>

#include "engine/db_file.h"
#include "engine/directory_lister.h"
#include "finance/backup_names.h"

namespace ledgerix {

bool KeepDamagedCopy(StoredDatabase& storage, platform::Env& env, const platform::Clock& clock,
                     const DbString& name, DbString* folder, platform::FailureDetail* failure) {
  DbString made;
  if (!CreateDamagedCopyFolder(env, clock, &made)) {
    *failure = env.LastFailure();
    return false;
  }
  if (!storage.CopyInto(name, made)) {
    *failure = storage.failure();
    // Already failing: a part-copy left behind takes room but no data.
    static_cast<void>(RemoveFolderWithFiles(env, made));
    return false;
  }
  *folder = made;
  return true;
}

bool RemoveFolderWithFiles(platform::Env& env, const DbString& folder) {
  // Names first, then deletions: the search is not disturbed by what it finds going away.
  std::vector<DbString> files;
  DbString pattern(folder);
  pattern.Append("\\*");
  DirectoryLister lister(env);
  for (int more = lister.First(pattern); more; more = lister.Next()) files.push_back(lister.Name());
  lister.Close();
  // A file that stays keeps the folder, whose removal then answers the failure.
  for (const DbString& file : files) {
    DbString path(folder);
    path.Append("\\");
    path.AppendString(file);
    static_cast<void>(DeleteDbFile(env, path));
  }
  return env.RemoveDirectory(folder.Wide());
}

}  // namespace ledgerix
