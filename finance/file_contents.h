#pragma once
// Reading a whole file into memory, for the exchange reader and for the copies kept of a
// database that cannot be read.

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// Appends the whole content of the file at a device path to *out. False when the file cannot be
// opened or a read fails; *out then holds what was read before the failure.
[[nodiscard]] bool ReadWholeFile(platform::Env& env, const DbString& path, DbString* out);

}  // namespace ledgerix
