#pragma once
// Choosing an id that no row uses yet, so that a new kind or account never hides another one
// that happens to have the id its screen proposes.

#include <cstdint>
#include <set>

namespace ledgerix {

// `preferred` when it is positive and not in `taken`; otherwise the first id above it (from 1
// when it is not positive) that is free, wrapping around to 1 after the largest id.
int32_t NextFreeId(const std::set<int32_t>& taken, int32_t preferred);

}  // namespace ledgerix
