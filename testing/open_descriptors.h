#pragma once
// Counting the process's open file descriptors, so that a test can check that a sequence of
// calls (failing ones above all) leaves none behind.

namespace ledgerix::testing {

// The number of file descriptors open in this process right now; -1 when it cannot be told.
int OpenDescriptorCount();

}  // namespace ledgerix::testing
