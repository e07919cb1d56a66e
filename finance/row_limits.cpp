#include "finance/row_limits.h"

namespace ledgerix {

bool KindFits(const KindRecord& kind) {
  return kind.name.Length() + kind.category.Length() <= kMaxKindTextBytes;
}

bool EntryFits(const EntryRecord& entry) { return entry.note.Length() <= kMaxEntryNoteBytes; }

bool AccountFits(const AccountRecord& account) {
  return account.name.Length() + account.note.Length() <= kMaxAccountTextBytes;
}

}  // namespace ledgerix
