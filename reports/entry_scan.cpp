#include "reports/entry_scan.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "finance/money.h"
#include "finance/packed_amount.h"
#include "finance/type_code.h"

namespace ledgerix {
namespace {

const DbString& EmptyText() {
  static const DbString empty;
  return empty;
}

// Gives equal texts equal keys, counting from 0.
class TextKeys {
 public:
  int32_t KeyOf(const DbString& text) {
    auto [it, added] =
        keys_.try_emplace(std::string(text.View()), static_cast<int32_t>(keys_.size()));
    return it->second;
  }

 private:
  std::unordered_map<std::string, int32_t> keys_;
};

// The order of the scratch rows: the date keys' decimal texts, compared as texts.
bool KeyTextLess(int32_t a, int32_t b) {
  // Keys of six digits, all that dates give, order as texts the way they order as numbers.
  auto six_digits = [](int32_t key) { return key >= 100000 && key <= 999999; };
  if (six_digits(a) && six_digits(b)) return a < b;
  char text_a[16];
  char text_b[16];
  const auto end_a = std::to_chars(text_a, text_a + sizeof text_a, a).ptr;
  const auto end_b = std::to_chars(text_b, text_b + sizeof text_b, b).ptr;
  return std::string_view(text_a, end_a - text_a) < std::string_view(text_b, end_b - text_b);
}

}  // namespace

ReportCatalog::ReportCatalog(std::vector<StoredKind> kinds, std::vector<StoredAccount> accounts)
    : kinds_(std::move(kinds)), accounts_(std::move(accounts)) {
  TextKeys categories;
  category_keys_.reserve(kinds_.size());
  for (uint32_t i = 0; i < kinds_.size(); ++i) {
    category_keys_.push_back(categories.KeyOf(kinds_[i].category));
    kinds_by_id_[kinds_[i].id].push_back(i);
  }
  TextKeys names;
  empty_name_key_ = names.KeyOf(EmptyText());
  for (uint32_t i = 0; i < accounts_.size(); ++i) {
    // An account lookup never matches id 0, and the first account of an id wins.
    if (accounts_[i].id == 0) continue;
    accounts_by_id_.try_emplace(accounts_[i].id, AccountSlot{i, names.KeyOf(accounts_[i].name)});
  }
}

std::span<const uint32_t> ReportCatalog::KindsWithId(int32_t id) const {
  auto it = kinds_by_id_.find(id);
  if (it == kinds_by_id_.end()) return {};
  return it->second;
}

const DbString& ReportCatalog::AccountName(int32_t id) const {
  auto it = accounts_by_id_.find(id);
  return it == accounts_by_id_.end() ? EmptyText() : accounts_[it->second.index].name;
}

int32_t ReportCatalog::AccountNameKey(int32_t id) const {
  auto it = accounts_by_id_.find(id);
  return it == accounts_by_id_.end() ? empty_name_key_ : it->second.name_key;
}

ScanQuery ScanQuery::Of(const ReportParams& params, const ReportContext& context,
                        const platform::Clock& clock) {
  ScanQuery query;
  query.period = PeriodRange::Of(params, clock);
  query.report_type = params.report_type;
  query.kind_filter_id = params.kind_filter_id;
  query.category_filter = params.category_filter;
  query.current_account_id = context.current_account_id;
  return query;
}

EntryScanner::EntryScanner(const ReportCatalog& catalog, ScanQuery query)
    : catalog_(catalog), query_(std::move(query)) {}

void EntryScanner::Add(const StoredEntry& entry) {
  const int direction_digit = TypeCodeValue(entry.type) % 10;
  if (query_.kind_filter_id != 0 && entry.kind_id != query_.kind_filter_id) return;
  if (query_.report_type != kReportBalance && direction_digit != query_.report_type) return;
  if (query_.current_account_id != 0 && entry.account_id != query_.current_account_id) return;
  const int64_t sign = direction_digit == kIncome ? 1 : -1;
  switch (query_.period.Place(entry.date)) {
    case PeriodPlace::kBefore:
      scan_.incoming_balance =
          SumMoney(scan_.incoming_balance, sign * EntryAmount(entry.price, entry.count));
      break;
    case PeriodPlace::kInside:
      AddRows(entry, sign);
      break;
    case PeriodPlace::kAfter:
      break;
  }
}

void EntryScanner::AddRows(const StoredEntry& entry, int64_t sign) {
  if (TypeHasP(entry.type)) return;
  const int64_t count = PackedHundredths(entry.count);
  const int64_t price = sign * PackedHundredths(entry.price);
  const int64_t amount = sign * EntryAmount(entry.price, entry.count);
  for (uint32_t index : catalog_.KindsWithId(entry.kind_id)) {
    const StoredKind& kind = catalog_.Kind(index);
    if (query_.category_filter.Length() > 0 && !kind.category.Equals(query_.category_filter)) {
      continue;
    }
    ScratchRow row;
    row.date_key = entry.date;
    row.date = SplitDateKey(entry.date);
    row.kind_id = entry.kind_id;
    row.kind = &kind;
    row.plus = TypeHasPlus(entry.type);
    row.category_key = catalog_.CategoryKey(index);
    row.account_name = &catalog_.AccountName(entry.account_id);
    row.account_key = catalog_.AccountNameKey(entry.account_id);
    row.count = count;
    row.price = price;
    row.amount = amount;
    scan_.rows.push_back(row);
  }
}

EntryScan EntryScanner::Finish() {
  std::stable_sort(
      scan_.rows.begin(), scan_.rows.end(),
      [](const ScratchRow& a, const ScratchRow& b) { return KeyTextLess(a.date_key, b.date_key); });
  return std::move(scan_);
}

EntryScan ScanEntryList(const ReportCatalog& catalog, const ScanQuery& query,
                        std::span<const StoredEntry> entries) {
  EntryScanner scanner(catalog, query);
  for (const StoredEntry& entry : entries) scanner.Add(entry);
  return scanner.Finish();
}

}  // namespace ledgerix
