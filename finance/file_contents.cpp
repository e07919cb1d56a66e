#include "finance/file_contents.h"

#include "engine/db_file.h"

namespace ledgerix {

bool ReadWholeFile(platform::Env& env, const DbString& path, DbString* out) {
  constexpr uint32_t kChunk = 64 * 1024;
  DbFile file(env);
  if (!file.Open(path, kAccessRead, platform::kDispositionOpenExisting, kShareRead)) return false;
  DbString chunk;
  // A read may answer fewer bytes than asked; only 0 bytes mark the end of the file.
  while (true) {
    uint32_t got = file.Read(chunk, kChunk);
    if (got == 0) return file.LastError() == DbFileError::kNone;
    out->AppendBytes(chunk.CStr(), got);
  }
}

}  // namespace ledgerix
