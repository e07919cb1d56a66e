#include "finance/free_id.h"

#include <limits>

namespace ledgerix {

int32_t NextFreeId(const std::set<int32_t>& taken, int32_t preferred) {
  constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();
  int32_t id = preferred > 0 ? preferred : 1;
  // Id 0 means "none" to the lookups, and negative ids would read as no id at all in places, so
  // only positive ids are handed out; a table cannot hold every one of them.
  for (auto it = taken.lower_bound(id); it != taken.end() && *it == id; ++it) {
    if (id == kLargest) return NextFreeId(taken, 1);
    ++id;
  }
  return id;
}

}  // namespace ledgerix
