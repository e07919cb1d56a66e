#include "platform/process_memory.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <memory>
#include <vector>

// AddressSanitizer keeps freed blocks in a quarantine instead of handing them back, so what the
// allocator holds after a free cannot be measured under it.
#if defined(__SANITIZE_ADDRESS__)
#define LEDGERIX_ALLOCATOR_KEEPS_FREED_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEDGERIX_ALLOCATOR_KEEPS_FREED_MEMORY 1
#endif
#endif

namespace ledgerix::platform {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;

// Memory taken from the host directly, bypassing the allocator (and any sanitizer's quarantine),
// with every page written so that all of it is resident; handed back when destroyed.
class TouchedMapping {
 public:
  explicit TouchedMapping(int64_t bytes) : size_(static_cast<size_t>(bytes)) {
    void* address =
        mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED) return;
    address_ = static_cast<char*>(address);
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    for (size_t offset = 0; offset < size_; offset += page) address_[offset] = 1;
  }
  ~TouchedMapping() {
    if (address_ != nullptr) munmap(address_, size_);
  }
  TouchedMapping(const TouchedMapping&) = delete;
  TouchedMapping& operator=(const TouchedMapping&) = delete;

  bool mapped() const { return address_ != nullptr; }

 private:
  size_t size_;
  char* address_ = nullptr;
};

TEST(ProcessMemoryTest, PeakCoversWhatIsResidentAndRisesWithTouchedMemory) {
  const int64_t before = PeakMemoryBytes();
  ASSERT_GT(CurrentMemoryBytes(), 0);
  EXPECT_GE(PeakMemoryBytes(), CurrentMemoryBytes());
  const int64_t touched = before + 64 * kMegabyte;
  {
    TouchedMapping block(touched);
    ASSERT_TRUE(block.mapped());
    // The block is resident now, so both the current size and the peak hold it.
    EXPECT_GE(CurrentMemoryBytes(), touched);
  }
  // It was resident at some point, so the peak still holds at least its size.
  EXPECT_GE(PeakMemoryBytes(), touched);
}

TEST(ProcessMemoryTest, ResetStartsAPeakBelowMemoryHandedBack) {
  int64_t old_peak = 0;
  {
    TouchedMapping block(128 * kMegabyte);
    ASSERT_TRUE(block.mapped());
    old_peak = PeakMemoryBytes();
  }
  ASSERT_GE(old_peak, 128 * kMegabyte);
  if (!ResetPeakMemory()) GTEST_SKIP() << "the host cannot reset the peak";
  // The block is gone, so the new peak is what the process holds now, far below the old one.
  EXPECT_LT(PeakMemoryBytes(), old_peak - 64 * kMegabyte);
  EXPECT_GE(PeakMemoryBytes(), CurrentMemoryBytes());
}

TEST(ProcessMemoryTest, ResetHandsBackWhatTheAllocatorKeptFree) {
#ifdef LEDGERIX_ALLOCATOR_KEEPS_FREED_MEMORY
  GTEST_SKIP() << "the sanitizer's allocator keeps freed memory in quarantine";
#else
  // Blocks small enough to come from the allocator's heap rather than a mapping of their own;
  // the last one stays, so the heap cannot simply shrink from its end when the others go.
  constexpr size_t kBlock = 64 * 1024;
  std::vector<std::unique_ptr<char[]> > blocks;
  for (int64_t held = 0; held < 128 * kMegabyte; held += kBlock) {
    blocks.push_back(std::make_unique<char[]>(kBlock));
    blocks.back()[kBlock - 1] = 1;
  }
  const int64_t old_peak = PeakMemoryBytes();
  ASSERT_GE(old_peak, 128 * kMegabyte);
  std::unique_ptr<char[]> last = std::move(blocks.back());
  blocks.clear();
  if (!ResetPeakMemory()) GTEST_SKIP() << "the host cannot reset the peak";
  EXPECT_LT(PeakMemoryBytes(), old_peak - 64 * kMegabyte);
  EXPECT_EQ(last[kBlock - 1], 1);
#endif
}

}  // namespace
}  // namespace ledgerix::platform
