#pragma once
// ByteRanges: a set of byte offsets kept as disjoint half-open ranges, for telling which parts of
// a file a journal already holds.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace ledgerix {

class ByteRanges {
 public:
  using Range = std::pair<int64_t, int64_t>;  // [first, second)

  // Adds [from, to); nothing when to <= from. Touching and overlapping ranges merge.
  void Add(int64_t from, int64_t to);
  // The parts of [from, to) not in the set, in ascending order; empty when to <= from.
  std::vector<Range> Gaps(int64_t from, int64_t to) const;
  bool Empty() const { return ranges_.empty(); }
  void Clear() { ranges_.clear(); }

 private:
  std::map<int64_t, int64_t> ranges_;  // start -> end, disjoint and not touching
};

}  // namespace ledgerix
