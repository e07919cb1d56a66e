#include "engine/byte_ranges.h"

#include <gtest/gtest.h>

#include <vector>

namespace ledgerix {
namespace {

using Ranges = std::vector<ByteRanges::Range>;

// The gaps of [from, to) after adding `added`, against a plain set of offsets.
Ranges ReferenceGaps(const Ranges& added, int64_t from, int64_t to) {
  std::vector<bool> in(64, false);
  for (const auto& [a, b] : added) {
    for (int64_t i = a; i < b; ++i) in[i] = true;
  }
  Ranges gaps;
  for (int64_t i = from; i < to; ++i) {
    if (in[i]) continue;
    if (!gaps.empty() && gaps.back().second == i) {
      ++gaps.back().second;
    } else {
      gaps.emplace_back(i, i + 1);
    }
  }
  return gaps;
}

TEST(ByteRangesTest, GapsAreWhatNoAddedRangeCovers) {
  const std::vector<Ranges> cases = {
      {},
      {{10, 20}},
      {{10, 20}, {20, 30}},            // touching ranges merge
      {{10, 20}, {15, 25}, {5, 12}},   // overlapping ones too
      {{30, 40}, {10, 20}, {0, 5}},    // added out of order
      {{10, 20}, {40, 50}, {18, 42}},  // one range swallows the gap between two
      {{7, 7}, {9, 8}},                // empty and reversed ranges add nothing
      {{0, 64}},
  };
  for (const Ranges& added : cases) {
    ByteRanges ranges;
    for (const auto& [a, b] : added) ranges.Add(a, b);
    EXPECT_EQ(ranges.Empty(), (ReferenceGaps(added, 0, 64) == Ranges{{0, 64}}));
    for (int64_t from = 0; from < 64; from += 3) {
      for (int64_t to = from; to <= 64; to += 5) {
        EXPECT_EQ(ranges.Gaps(from, to), ReferenceGaps(added, from, to))
            << "after " << added.size() << " ranges, [" << from << ", " << to << ")";
      }
    }
  }
}

TEST(ByteRangesTest, ClearForgetsEverything) {
  ByteRanges ranges;
  ranges.Add(0, 10);
  ranges.Clear();
  EXPECT_TRUE(ranges.Empty());
  EXPECT_EQ(ranges.Gaps(0, 10), (Ranges{{0, 10}}));
  EXPECT_TRUE(ranges.Gaps(5, 5).empty());
}

}  // namespace
}  // namespace ledgerix
