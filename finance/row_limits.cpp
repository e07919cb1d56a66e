#include "finance/row_limits.h"

#include <string_view>

#include "finance/packed_amount.h"

namespace ledgerix {

bool TextFitsExchange(const DbString& text) {
  return text.View().find_first_of(kExchangeReservedCharacters) == std::string_view::npos;
}

bool KindFits(const KindRecord& kind) {
  return kind.name.Length() + kind.category.Length() <= kMaxKindTextBytes &&
         TextFitsExchange(kind.name) && TextFitsExchange(kind.category);
}

bool EntryFits(const EntryRecord& entry) {
  return entry.note.Length() <= kMaxEntryNoteBytes && TextFitsExchange(entry.note);
}

bool EntryCanBeStored(const EntryRecord& entry) {
  return CanPackAmount(entry.price) && CanPackAmount(entry.count) && EntryFits(entry);
}

bool AccountFits(const AccountRecord& account) {
  return account.name.Length() + account.note.Length() <= kMaxAccountTextBytes &&
         TextFitsExchange(account.name) && TextFitsExchange(account.note);
}

}  // namespace ledgerix
