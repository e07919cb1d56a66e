#include "finance/backup_names.h"

#include "engine/db_file.h"
#include "engine/program_path.h"

namespace ledgerix {
namespace {

constexpr char kDataFolder[] = "data";
// Far more than two copies in one minute would take; it only bounds the search.
constexpr int kMaxFolderCounter = 1000;

bool CreateFolder(platform::Env& env, const DbString& path, bool* existed) {
  *existed = false;
  if (env.CreateDirectory(path.Wide())) return true;
  *existed = env.LastError() == platform::winerr::kAlreadyExists;
  return false;
}

}  // namespace

DbString BackupStamp(const platform::Clock& clock) {
  platform::LocalTime now = clock.Local(clock.Now());
  DbString stamp;
  stamp.FormatEx("%02L.%02L.%02L %02L_%02L", now.day, now.month, now.year % 100, now.hour,
                 now.minute);
  return stamp;
}

bool EnsureDataFolder(platform::Env& env) {
  bool existed = false;
  return CreateFolder(env, ProgramPath(env, kDataFolder), &existed) || existed;
}

DbString FreeBackupName(platform::Env& env, const platform::Clock& clock) {
  const DbString stamp = BackupStamp(clock);
  for (int counter = 1;; ++counter) {
    DbString name(stamp);
    if (counter > 1) {
      DbString suffix;
      suffix.Format(" (%d)", counter);
      name.AppendString(suffix);
    }
    name.Append(".txt");
    DbString path(kDataFolder);
    path.Append("\\");
    path.AppendString(name);
    // An archive saved in the same minute has this name: never write over it.
    if (!DbFileExists(env, ProgramPath(env, path)) || counter == kMaxFolderCounter) return name;
  }
}

DbString OlderLayoutBackupPath(platform::Env& env, const platform::Clock& clock) {
  DbString name(kDataFolder);
  name.Append("\\");
  name.AppendString(FreeBackupName(env, clock));
  return ProgramPath(env, name);
}

bool CreateDamagedCopyFolder(platform::Env& env, const platform::Clock& clock, DbString* folder) {
  if (!EnsureDataFolder(env)) return false;
  DbString base(kDataFolder);
  base.Append("\\damaged ");
  base.AppendString(BackupStamp(clock));
  for (int counter = 1; counter <= kMaxFolderCounter; ++counter) {
    DbString name(base);
    if (counter > 1) {
      DbString suffix;
      suffix.Format(" (%d)", counter);
      name.AppendString(suffix);
    }
    DbString path = ProgramPath(env, name);
    bool existed = false;
    if (CreateFolder(env, path, &existed)) {
      *folder = path;
      return true;
    }
    if (!existed) return false;
  }
  return false;
}

}  // namespace ledgerix
