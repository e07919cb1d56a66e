#include "engine/byte_ranges.h"

#include <algorithm>

namespace ledgerix {

void ByteRanges::Add(int64_t from, int64_t to) {
  if (to <= from) return;
  // The first range that ends at or after `from` may touch the new one.
  auto it = ranges_.lower_bound(from);
  if (it != ranges_.begin()) {
    auto before = std::prev(it);
    if (before->second >= from) it = before;
  }
  while (it != ranges_.end() && it->first <= to) {
    from = std::min(from, it->first);
    to = std::max(to, it->second);
    it = ranges_.erase(it);
  }
  ranges_.emplace(from, to);
}

std::vector<ByteRanges::Range> ByteRanges::Gaps(int64_t from, int64_t to) const {
  std::vector<Range> gaps;
  if (to <= from) return gaps;
  auto it = ranges_.upper_bound(from);
  if (it != ranges_.begin()) --it;
  int64_t at = from;
  for (; it != ranges_.end() && it->first < to; ++it) {
    if (it->second <= at) continue;
    if (it->first > at) gaps.emplace_back(at, it->first);
    at = std::max(at, it->second);
  }
  if (at < to) gaps.emplace_back(at, to);
  return gaps;
}

}  // namespace ledgerix
