#pragma once
// The longest texts a finance row can hold. The file database keeps every row in a fixed slot of
// 18 bytes per column, so the texts of a row share what its number columns leave; the screens
// check these before they store, and the add and update operations refuse what does not fit.

#include <cstdint>

#include "finance/finance_records.h"

namespace ledgerix {

// Bytes (Windows-1251 characters) the texts of one row may hold together.
inline constexpr uint32_t kMaxKindTextBytes = 90;     // name + category
inline constexpr uint32_t kMaxEntryNoteBytes = 115;   // note
inline constexpr uint32_t kMaxAccountTextBytes = 62;  // name + note

bool KindFits(const KindRecord& kind);
bool EntryFits(const EntryRecord& entry);
bool AccountFits(const AccountRecord& account);

}  // namespace ledgerix
