#pragma once
// The order the file database keeps its rows in: by their first value only. A new row equal to
// others goes right after the equal row its search meets, so rows with equal first values may
// come back in another order when a table is loaded again; everything else about the order is
// fixed. Two sequences of rows are the same under that rule when they hold the same rows with
// the same first values in the same order.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace ledgerix::fuzz {

// Rows in their order, each as (its first value, the whole row).
using KeyedRows = std::vector<std::pair<std::string, std::string>>;

inline bool SameUpToEqualKeys(KeyedRows a, KeyedRows b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].first != b[i].first) return false;
  }
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

}  // namespace ledgerix::fuzz
