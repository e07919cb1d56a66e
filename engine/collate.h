#pragma once
// CollateCompare: the order of 8-bit texts used wherever text values are sorted. Letters sort
// by a fixed weight table (each capital next to its small letter) and hyphens are ignored.

namespace ledgerix {

// Compares two NUL-terminated Windows-1251 texts (null counts as empty). Answers 0 when they
// collate equal, +1 when a sorts after b, -1 when it sorts before.
int CollateCompare(const char* a, const char* b);

}  // namespace ledgerix
