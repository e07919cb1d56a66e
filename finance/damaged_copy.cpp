#include "finance/damaged_copy.h"

#include "engine/atomic_file.h"
#include "engine/database_folder.h"
#include "engine/directory_lister.h"
#include "finance/backup_names.h"
#include "finance/file_contents.h"

namespace ledgerix {
namespace {

// The name under which the object store's copy is kept in the folder.
constexpr char kObjectStoreCopyName[] = "object store.db";

DbString InFolder(const DbString& folder, const DbString& name) {
  DbString path(folder);
  path.Append("\\");
  path.AppendString(name);
  return path;
}

bool CopyFile(platform::Env& env, const DbString& from, const DbString& to) {
  DbString content;
  return ReadWholeFile(env, from, &content) && ReplaceFileContent(env, to, content);
}

// True when a file exists at the device path.
bool FileExists(platform::Env& env, const DbString& path) {
  platform::FindData found;
  platform::FindHandle search = env.FindFirst(path.Wide(), &found);
  if (search == platform::kInvalidFindHandle) return false;
  env.FindClose(search);
  return !found.is_directory;
}

// After a search found nothing: true when that is because there is nothing, false when the
// search itself failed (a copy that silently left files out would not be a copy).
bool NothingFound(const platform::Env& env) {
  uint32_t error = env.LastError();
  return error == platform::winerr::kFileNotFound || error == platform::winerr::kPathNotFound ||
         error == platform::winerr::kNoMoreFiles;
}

}  // namespace

bool KeepFileDatabaseCopy(platform::Env& env, const platform::Clock& clock,
                          const DbString& database_name) {
  DbString folder;
  if (!CreateDamagedCopyFolder(env, clock, &folder)) return false;
  DbString catalog_name(database_name);
  catalog_name.Append(kCatalogFileExtension);
  DbString catalog = DatabaseFilePath(env, database_name, kCatalogFileExtension);
  if (FileExists(env, catalog)) {
    if (!CopyFile(env, catalog, InFolder(folder, catalog_name))) return false;
  } else if (!NothingFound(env)) {
    return false;
  }
  // Every table file, not only those the catalog names: the catalog may be what is damaged.
  DbString pattern(kDatabaseFolderName);
  pattern.Append("\\*");
  pattern.Append(kTableFileExtension);
  DirectoryLister lister(env);
  if (!lister.First(pattern)) return NothingFound(env);
  do {
    DbString table_file = DatabaseFilePath(env, lister.Name(), "");
    if (!CopyFile(env, table_file, InFolder(folder, lister.Name()))) return false;
  } while (lister.Next());
  return true;
}

bool KeepObjectStoreCopy(platform::Env& env, const platform::Clock& clock) {
  DbString folder;
  if (!CreateDamagedCopyFolder(env, clock, &folder)) return false;
  return env.BackupObjectStore(InFolder(folder, kObjectStoreCopyName).Wide());
}

}  // namespace ledgerix
