// Choosing an id that is not taken.
#include "finance/free_id.h"

#include <gtest/gtest.h>

#include <limits>

namespace ledgerix {
namespace {

TEST(FreeIdTest, PreferredIdWhenFreeElseTheNextFreeAboveIt) {
  std::set<int32_t> taken = {1, 2, 3, 5, 100};
  EXPECT_EQ(NextFreeId(taken, 4), 4);
  EXPECT_EQ(NextFreeId(taken, 1), 4);
  EXPECT_EQ(NextFreeId(taken, 5), 6);
  EXPECT_EQ(NextFreeId(taken, 100), 101);
  EXPECT_EQ(NextFreeId({}, 7), 7);
}

TEST(FreeIdTest, IdsArePositive) {
  EXPECT_EQ(NextFreeId({1}, 0), 2);
  EXPECT_EQ(NextFreeId({}, -5), 1);
}

TEST(FreeIdTest, TheLargestIdWrapsAroundToTheSmallestFree) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(NextFreeId({kMax, 1}, kMax), 2);
}

}  // namespace
}  // namespace ledgerix
