#include "finance/record_match.h"

namespace ledgerix {

bool AccountMatches(const AccountRecord& row, int32_t id, const DbString& name) {
  if (id != 0 && row.id == id) return true;
  return name.Length() > 0 && row.name.Equals(name);
}

bool KindMatches(const KindRecord& row, int32_t id, int32_t type, const DbString& name) {
  if (type != 0 && row.type != type) return false;
  if (id != 0 && row.id == id) return true;
  return name.Length() > 0 && row.name.Equals(name);
}

const AccountRecord* FindAccountIn(const std::vector<AccountRecord>& rows, int32_t id,
                                   const DbString& name) {
  for (const AccountRecord& row : rows) {
    if (AccountMatches(row, id, name)) return &row;
  }
  return nullptr;
}

const KindRecord* FindKindIn(const std::vector<KindRecord>& rows, int32_t id, int32_t type,
                             const DbString& name) {
  for (const KindRecord& row : rows) {
    if (KindMatches(row, id, type, name)) return &row;
  }
  return nullptr;
}

}  // namespace ledgerix
