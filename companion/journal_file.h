#pragma once
// ledgerix.journal: the entries as a plain-text accounting journal (UTF-8) that hledger and
// ledger read. Each entry is one transaction of two postings with the usual signs of double
// entry: spending is a positive posting to "Расходы:<категория>:<вид>", income a negative one
// to "Доходы:<категория>:<вид>", and the opposite amount goes to "Счета:<счет>". So for any
// period the balance of an account "Счета:<счет>" equals the statistics row of that account,
// and the balance of "Доходы:<к>" and "Расходы:<к>" together, with its sign turned
// (`hledger bal --invert`), equals the row of category <к>; a kind likewise. Entries that the
// statistics leave out (a "[P]" entry, an entry whose kind is gone) post to
// "Вне статистики:..." instead, so that the accounts still hold all the money the incoming
// balance counts. Transfers are entries of their kinds, and appear as the statistics show them.
//
// Names are made safe for the journal: ":" becomes ".", tabs and line ends become blanks, runs
// of blanks become one, and an empty name becomes "(без ...)". Should two different names come
// out the same, the later one gets " #<id>" (kinds) or " #<n>" (categories, accounts), so
// that no two groups of the statistics share a journal account.

#include <string>

#include "companion/database_rows.h"

namespace ledgerix {

// The whole journal, transactions in date order (entries of one day in table order).
std::string JournalText(const DatabaseRows& rows);

}  // namespace ledgerix
