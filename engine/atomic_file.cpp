#include "engine/atomic_file.h"

#include "engine/db_file.h"

namespace ledgerix {
namespace {

int WriteWhole(DbFile& file, const DbString& content) {
  if (content.Length() == 0) return 1;
  return file.Write(content, content.Length()) == content.Length() ? 1 : 0;
}

}  // namespace

DbString TemporaryPathFor(const DbString& path) {
  DbString temporary(path);
  temporary.Append(".tmp");
  return temporary;
}

int ReplaceFileContent(platform::Env& env, const DbString& path, const DbString& content) {
  DbString temporary = TemporaryPathFor(path);
  DbFile file(env);
  bool written =
      file.Open(temporary, kAccessReadWrite, platform::kDispositionCreateAlways, kShareExclusive) &&
      WriteWhole(file, content) && file.Sync();
  bool closed = file.IsOpen() && file.Close();
  if (written && closed && env.Rename(temporary.Wide(), path.Wide())) return 1;
  // Already failing: a temporary file left behind is replaced by the next write.
  static_cast<void>(DeleteDbFile(env, temporary));
  return 0;
}

}  // namespace ledgerix
