#pragma once
// Table file contents for the engine's tests: `count` slots of `slot` bytes, each filled with a
// letter of its own and starting with its index, so that every moved, lost or doubled slot
// shows.

#include <cstdint>
#include <string>

namespace ledgerix::testing {

inline std::string SlotBytes(int count, int slot, int first = 0) {
  std::string bytes;
  for (int i = first; i < first + count; ++i) {
    std::string one(static_cast<size_t>(slot), static_cast<char>('A' + i % 26));
    one.replace(0, 4, std::string(reinterpret_cast<const char*>(&i), 4));
    bytes += one;
  }
  return bytes;
}

}  // namespace ledgerix::testing
