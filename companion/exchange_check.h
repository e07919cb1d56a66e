#pragma once
// Checks an exchange file before it replaces any data: the restore itself reads whatever a file
// holds (a value without digits stores 0, a short line leaves columns empty), which for a file
// brought in from outside would store a damaged row without a word. The check reads it as
// written by the program: known sections, each at most once; data lines inside a section, each
// with exactly as many ";"-ended values as its table has columns; whole numbers in 32 bits in
// the number columns; texts that a row of the database holds.

#include <string_view>

#include "companion/line_error.h"

namespace ledgerix {

// True when every line reads; false with *error at the first line that does not.
[[nodiscard]] bool CheckExchangeText(std::string_view text, LineError* error);

}  // namespace ledgerix
