#include "ui/kind_categories.h"

#include <algorithm>

namespace ledgerix {

std::vector<DbString> CategoriesOf(const std::vector<KindRecord>& kinds, int32_t direction) {
  std::vector<DbString> categories;
  for (const KindRecord& kind : kinds) {
    if (kind.type != direction) continue;
    const bool listed = std::any_of(categories.begin(), categories.end(),
                                    [&](const DbString& c) { return c.Equals(kind.category); });
    if (!listed) categories.push_back(kind.category);
  }
  return categories;
}

}  // namespace ledgerix
