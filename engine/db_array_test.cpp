#include "engine/db_array.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ledgerix {
namespace {

TEST(DbArrayTest, GrowsInSteps) {
  DbArray<int> a;
  EXPECT_EQ(a.Capacity(), 0u);
  a.Append(1);
  EXPECT_EQ(a.Capacity(), 200u);
  DbArray<int> fields(0, 1);  // a record's fields grow one at a time
  fields.Append(1);
  EXPECT_EQ(fields.Capacity(), 2u);  // 1 * (1 / 1 + 1)
  fields.Append(2);
  fields.Append(3);
  EXPECT_EQ(fields.Capacity(), 4u);
  DbArray<int> b(3, 3);
  EXPECT_EQ(b.Capacity(), 3u);
  for (int i = 0; i < 4; ++i) b.Append(i);
  EXPECT_EQ(b.Capacity(), 6u);  // 3 * (4 / 3 + 1)
  EXPECT_EQ(b.Count(), 4u);
}

TEST(DbArrayTest, AtAnswersNullPastTheEnd) {
  DbArray<std::string> a;
  a.Append("x");
  ASSERT_NE(a.At(0), nullptr);
  EXPECT_EQ(*a.At(0), "x");
  EXPECT_EQ(a.At(1), nullptr);
}

TEST(DbArrayTest, RemoveAtNeedsTheWholeRangeInside) {
  DbArray<int> a;
  for (int i = 0; i < 5; ++i) a.Append(i);
  a.RemoveAt(3, 3);
  a.RemoveAt(5, 0);
  EXPECT_EQ(a.Count(), 5u);
  a.RemoveAt(1, 2);
  ASSERT_EQ(a.Count(), 3u);
  EXPECT_EQ(*a.At(0), 0);
  EXPECT_EQ(*a.At(1), 3);
  EXPECT_EQ(*a.At(2), 4);
  a.RemoveAt(0, 3);
  EXPECT_EQ(a.Count(), 0u);
}

TEST(DbArrayTest, ClearFreesEverything) {
  DbArray<std::unique_ptr<int>> a;
  a.Append(std::make_unique<int>(7));
  a.Clear();
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(a.Capacity(), 0u);
  a.Append(std::make_unique<int>(8));
  EXPECT_EQ(**a.At(0), 8);
  DbArray<std::unique_ptr<int>> moved = std::move(a);
  EXPECT_EQ(moved.Count(), 1u);
  EXPECT_EQ(a.Count(), 0u);  // NOLINT(bugprone-use-after-move): moved-from is empty
}

}  // namespace
}  // namespace ledgerix
