#include "companion/journal_file.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "finance/date_key.h"
#include "finance/money.h"
#include "finance/type_code.h"

namespace ledgerix {
namespace {

constexpr char kSpendingRoot[] = "Расходы";
constexpr char kIncomeRoot[] = "Доходы";
constexpr char kAccountsRoot[] = "Счета";
constexpr char kLeftOutRoot[] = "Вне статистики";
constexpr char kPosting[] = "    ";
constexpr char kAmountGap[] = "    ";

// A name as a journal account's part: no ":", no tabs or line ends, single blanks, not empty.
std::string SafeName(const DbString& stored, const char* when_empty) {
  std::string name;
  for (char c : ToUtf8(stored)) {
    if (c == ':') c = '.';
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    if (c == ' ' && (name.empty() || name.back() == ' ')) continue;
    name += c;
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name.empty() ? when_empty : name;
}

// Gives each distinct stored name a distinct safe name within one scope.
class NameScope {
 public:
  // The safe name of `key` (what tells names apart); `suffix` is added when the safe name is
  // already another key's.
  template <typename Key>
  const std::string& Name(std::map<Key, std::string>& names, const Key& key, std::string safe,
                          const std::string& suffix) {
    auto found = names.find(key);
    if (found != names.end()) return found->second;
    if (!used_.insert(safe).second) {
      safe += " #" + suffix;
      used_.insert(safe);
    }
    return names.emplace(key, std::move(safe)).first->second;
  }

 private:
  std::set<std::string> used_;
};

class JournalNames {
 public:
  std::string Category(const DbString& category) {
    return categories_scope_.Name(categories_, std::string(category.View()),
                                  SafeName(category, "(без категории)"),
                                  std::to_string(categories_.size() + 1));
  }

  std::string Account(const DbString& name) {
    return accounts_scope_.Name(accounts_, std::string(name.View()), SafeName(name, "(без счета)"),
                                std::to_string(accounts_.size() + 1));
  }

  // The kind's part under root:category, unique there by kind id.
  std::string Kind(const std::string& root_and_category, const KindRecord& kind) {
    NameScope& scope = kind_scopes_[root_and_category];
    auto& names = kinds_[root_and_category];
    return scope.Name(names, kind.id, SafeName(kind.name, "(без названия)"),
                      std::to_string(kind.id));
  }

 private:
  NameScope categories_scope_;
  std::map<std::string, std::string> categories_;
  NameScope accounts_scope_;
  std::map<std::string, std::string> accounts_;
  std::map<std::string, NameScope> kind_scopes_;
  std::map<std::string, std::map<int32_t, std::string>> kinds_;
};

void AppendPosting(const std::string& account, int64_t amount, std::string* out) {
  *out += kPosting;
  *out += account;
  *out += kAmountGap;
  *out += PlainMoney(amount);
  *out += '\n';
}

}  // namespace

std::string JournalText(const DatabaseRows& rows) {
  std::vector<size_t> order(rows.entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return DayOrdinal(rows.entries[a].date) < DayOrdinal(rows.entries[b].date);
  });
  JournalNames names;
  std::string text =
      "; Ledgerix: все записи. Доходы и Расходы по категориям и видам, Счета по счетам.\n"
      "; Строки статистики по категориям и видам: hledger bal --invert Доходы Расходы\n\n";
  text.reserve(rows.entries.size() * 120);
  for (size_t index : order) {
    const StoredEntryRow& entry = rows.entries[index];
    const bool income = TypeDirection(entry.type) == kIncome;
    const int64_t amount = EntryAmount(entry.price, entry.count);
    const KindRecord* kind = rows.KindOf(entry.kind_id);
    std::string other;
    if (kind == nullptr) {
      other = std::string(kLeftOutRoot) + ":(нет вида) #" + std::to_string(entry.kind_id);
    } else {
      const std::string root = TypeHasP(entry.type) ? std::string(kLeftOutRoot) + ":[P]"
                               : income             ? kIncomeRoot
                                                    : kSpendingRoot;
      const std::string branch = root + ":" + names.Category(kind->category);
      other = branch + ":" + names.Kind(branch, *kind);
    }
    text += IsoDateOfKey(entry.date);
    text += income ? " Приход: " : " Расход: ";
    text += kind != nullptr ? SafeName(kind->name, "(без названия)") : "(нет вида)";
    if (entry.note.Length() > 0) {
      text += "  ; ";
      text += SafeName(entry.note, "");
    }
    text += '\n';
    AppendPosting(other, income ? -amount : amount, &text);
    AppendPosting(
        std::string(kAccountsRoot) + ":" + names.Account(rows.AccountNameOf(entry.account_id)),
        income ? amount : -amount, &text);
    text += '\n';
  }
  return text;
}

}  // namespace ledgerix
