#pragma once
// LineError: why a file the companion reads was refused: the first line that could not be read
// and the reason, in Russian, for the person who edits the file.

#include <cstddef>
#include <string>

namespace ledgerix {

struct LineError {
  size_t line = 0;     // 1-based line of the file where the bad row starts
  std::string reason;  // UTF-8

  // "строка 12: <reason>"
  std::string Text() const;
};

}  // namespace ledgerix
