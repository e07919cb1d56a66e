#pragma once
// The words of a message that says why a file operation failed: "нет места на диске" rather
// than a bare failure, from what the platform kept of the failed call.

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// A short Russian reason for a Windows error number: "нет места на диске", "нет доступа",
// "файл занят другой программой", ...; "ошибка N" for a number without a reason of its own.
DbString FailureReason(uint32_t error);

// The reason, then in parentheses what failed where and the host's own text when known:
// "нет места на диске (Write /home/u/.local/share/ledgerix/data/x.txt: No space left on device)".
DbString DescribeFailure(const platform::FailureDetail& detail);

}  // namespace ledgerix
