#pragma once
// What a finance row's texts may hold. The file database keeps every row in a fixed slot of 18
// bytes per column, so the texts of a row share what its number columns leave; and the exchange
// file (archives, backups) has no escaping, so ";", "[", "]", CR and LF in a text would make an
// archive read back wrong. The screens check these before they store, and the add and update
// operations refuse what does not fit.

#include <cstdint>

#include "engine/db_string.h"
#include "finance/finance_records.h"

namespace ledgerix {

// Bytes (Windows-1251 characters) the texts of one row may hold together.
inline constexpr uint32_t kMaxKindTextBytes = 90;     // name + category
inline constexpr uint32_t kMaxEntryNoteBytes = 115;   // note
inline constexpr uint32_t kMaxAccountTextBytes = 62;  // name + note

// The characters no stored text may hold, since the exchange file could not read them back.
inline constexpr char kExchangeReservedCharacters[] = ";[]\r\n";

// True when the text holds none of kExchangeReservedCharacters.
bool TextFitsExchange(const DbString& text);

bool KindFits(const KindRecord& kind);
bool EntryFits(const EntryRecord& entry);
bool AccountFits(const AccountRecord& account);
// EntryFits, and price and count can be packed (CanPackAmount): what AddEntry accepts.
bool EntryCanBeStored(const EntryRecord& entry);

}  // namespace ledgerix
