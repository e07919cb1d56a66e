#pragma once
// The memory this process holds: its resident size now and the highest it has been, for the
// benchmarks that report what an operation costs in memory besides time.

#include <cstdint>

namespace ledgerix::platform {

// The resident size of the process in bytes; 0 when the host does not tell.
int64_t CurrentMemoryBytes();

// The highest resident size of the process in bytes since it started or since the last
// successful ResetPeakMemory; 0 when the host does not tell.
int64_t PeakMemoryBytes();

// Hands memory the allocator keeps free back to the host, then starts a new peak at the current
// resident size, so that the next PeakMemoryBytes tells what the work in between needed. False when
// the host cannot reset it; PeakMemoryBytes then keeps answering the peak since the process
// started.
[[nodiscard]] bool ResetPeakMemory();

}  // namespace ledgerix::platform
