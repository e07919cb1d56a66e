// HeldRows against a plain vector: rows placed anywhere, across many chunk splits, keep their
// order, keys and bytes.
#include "engine/held_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledgerix {
namespace {

TEST(HeldRowsTest, PlacesRowsAsAVectorInsertDoes) {
  struct Case {
    int rows;
    int spread;  // positions drawn from 0 .. size + spread (past the end appends)
  } cases[] = {{0, 0}, {1, 0}, {700, 0}, {2000, 5}, {2000, 100000}};
  for (const Case& c : cases) {
    HeldRows held(4);
    std::vector<int32_t> keys;
    std::string bytes;
    uint32_t seed = 3;
    for (int i = 0; i < c.rows; ++i) {
      seed = seed * 1103515245u + 12345u;
      const size_t row = (seed >> 8) % (keys.size() + 1 + static_cast<size_t>(c.spread));
      const size_t at = row < keys.size() ? row : keys.size();
      const std::string slot = {static_cast<char>('a' + i % 26), static_cast<char>(i % 7)};
      held.Insert(row, DbValue(static_cast<int32_t>(i)), slot);  // padded to 4 bytes
      keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), i);
      bytes.insert(at * 4, slot + std::string(2, '\0'));
    }
    ASSERT_EQ(held.size(), keys.size());
    for (size_t row = 0; row < keys.size(); ++row) {
      ASSERT_EQ(held.KeyAt(row).AsInt32(), keys[row]) << c.rows << " row " << row;
    }
    std::string drained;
    EXPECT_TRUE(held.Drain([&](std::string_view slots) {
      drained += slots;
      return true;
    }));
    EXPECT_EQ(drained, bytes) << c.rows;
    EXPECT_EQ(held.size(), 0u);
  }
}

}  // namespace
}  // namespace ledgerix
