#pragma once
// Replacing a whole file so that a crash, a failed write or a full disk never leaves it missing
// or cut short: the new content goes to a temporary file beside the target, is brought to
// stable storage, and is then renamed over the target in one step.

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// The temporary file that ReplaceFileContent writes beside `path`.
DbString TemporaryPathFor(const DbString& path);

// Makes the file at `path` hold exactly `content`. 1 on success. On failure 0, the target is
// as it was before the call and no temporary file is left behind.
[[nodiscard]] int ReplaceFileContent(platform::Env& env, const DbString& path,
                                     const DbString& content);

}  // namespace ledgerix
