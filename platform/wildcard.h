#pragma once
// File name patterns of file searches: "*" stands for any run of characters and "?" for one,
// letters compare without regard to case, as on the handheld's file system.

#include <string_view>

namespace ledgerix::platform {

// Folds one UTF-16 character to lower case for name comparison. Covers Latin (ASCII and
// Latin-1) and Cyrillic letters, the scripts of the program's file names; others stay as they are.
char16_t FoldCase(char16_t c);

// True when `name` matches `pattern`. As on the handheld, "*.*" matches every name, with or
// without a dot.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

// Orders names case-insensitively, and names that differ only in case by their code units, so
// that a listing comes out in one fixed order. Negative, zero or positive like strcmp.
int CompareNames(std::u16string_view a, std::u16string_view b);

}  // namespace ledgerix::platform
