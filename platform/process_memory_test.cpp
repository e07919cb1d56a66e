#include "platform/process_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace ledgerix::platform {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

// Allocates and touches `bytes`, so that they become resident; answers a value read from them so
// that the compiler keeps the writes.
int TouchMemory(int64_t bytes) {
  auto block = std::make_unique<char[]>(static_cast<size_t>(bytes));
  std::memset(block.get(), 1, static_cast<size_t>(bytes));
  return block[static_cast<size_t>(bytes) - 1];
}

TEST(ProcessMemoryTest, PeakCoversWhatIsResidentAndRisesWithTouchedMemory) {
  const int64_t before = PeakMemoryBytes();
  ASSERT_GT(CurrentMemoryBytes(), 0);
  EXPECT_GE(PeakMemoryBytes(), CurrentMemoryBytes());
  const int64_t touched = before + 64 * kMegabyte;
  EXPECT_EQ(TouchMemory(touched), 1);
  // The block was resident at some point, so the peak holds at least its size.
  EXPECT_GE(PeakMemoryBytes(), touched);
}

TEST(ProcessMemoryTest, ResetStartsAPeakBelowOneThatWasFreed) {
  EXPECT_EQ(TouchMemory(128 * kMegabyte), 1);
  const int64_t old_peak = PeakMemoryBytes();
  ASSERT_GE(old_peak, 128 * kMegabyte);
  if (!ResetPeakMemory()) GTEST_SKIP() << "the host cannot reset the peak";
  // The block is gone, so the new peak is what the process holds now, far below the old one.
  EXPECT_LT(PeakMemoryBytes(), old_peak - 64 * kMegabyte);
  EXPECT_GE(PeakMemoryBytes(), CurrentMemoryBytes());
}

}  // namespace
}  // namespace ledgerix::platform
