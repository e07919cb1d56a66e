#pragma once
// Two null-safe primitives on NUL-terminated 8-bit texts, for code that may be handed null.

#include <cstddef>
#include <cstring>

namespace ledgerix {

// The length of a NUL-terminated text; 0 for null.
inline size_t TextLength(const char* text) { return text != nullptr ? std::strlen(text) : 0; }

// The first occurrence of byte in a NUL-terminated text, or null (also for a null text).
// Searching for the 0 byte finds the terminator.
inline const char* TextFindByte(const char* text, char byte) {
  return text != nullptr ? std::strchr(text, byte) : nullptr;
}

}  // namespace ledgerix
