#include "reports/testing/reference_report.h"

#include <algorithm>
#include <cstdlib>
#include <list>
#include <string>

#include "engine/parse.h"
#include "finance/date_key.h"
#include "reports/periods.h"

namespace ledgerix::testing {
namespace {

// A scratch row as a list holds it: texts, and the kind id as the item's value.
struct TextRow {
  std::vector<DbString> cells;
  int32_t value = 0;
};

DbString Decimal(int32_t n) {
  DbString text;
  text.Format("%d", n);
  return text;
}

// Money here is written out step by step, apart from the code under test: hundredths in a
// long long, rounded half away from zero, printed with "," between thousands.
__extension__ typedef __int128 Wide;

long long StoredHundredths(int32_t code) {
  const auto bits = static_cast<uint32_t>(code);
  const long long low = bits & 0xFF;
  return static_cast<long long>(bits >> 8) * 100 + (low > 99 ? 99 : low);
}

// n / d to the nearest integer, half away from zero (d > 0).
long long Nearest(Wide n, Wide d) {
  const Wide magnitude = n < 0 ? -n : n;
  const Wide q = (2 * magnitude + d) / (2 * d);
  return static_cast<long long>(n < 0 ? -q : q);
}

DbString MoneyText(long long hundredths) {
  const std::string digits = std::to_string(std::llabs(hundredths) / 100);
  std::string text = hundredths < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  const long long cents = std::llabs(hundredths) % 100;
  text += '.';
  text += static_cast<char>('0' + cents / 10);
  text += static_cast<char>('0' + cents % 10);
  return DbString(std::string_view(text));
}

// A money text read back: every digit counts, "-" in front negates.
long long MoneyValue(const DbString& text) {
  long long value = 0;
  for (char c : text.View()) {
    if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
  }
  return text.CharAt(0) == '-' ? -value : value;
}

// The name of the first account whose id equals a non-zero id; empty when none.
DbString FindAccountName(const std::vector<StoredAccount>& accounts, int32_t id) {
  for (const StoredAccount& account : accounts) {
    if (id != 0 && account.id == id) return account.name;
  }
  return DbString();
}

// Inserts after every row whose first cell's text is not greater, so equal keys keep their
// arrival order.
void InsertInKeyOrder(std::list<TextRow>* scratch, TextRow row) {
  auto at = scratch->end();
  while (at != scratch->begin()) {
    auto before = std::prev(at);
    if (before->cells[0].View() <= row.cells[0].View()) break;
    at = before;
  }
  scratch->insert(at, std::move(row));
}

struct ReadBack {
  DateParts date;
  int32_t sort_key = 0;
  long long count = 0;   // hundredths
  long long price = 0;   // hundredths, signed
  long long amount = 0;  // hundredths, signed
};

ReadBack ReadRow(const TextRow& row, int s) {
  ReadBack values;
  const int32_t key = ParseInt(row.cells[0].CStr());
  values.date = SplitDateKey(key);
  values.sort_key = SortKey(key);
  values.count = MoneyValue(row.cells[3 + s]);
  values.price = MoneyValue(row.cells[4 + s]);
  values.amount = MoneyValue(row.cells[5 + s]);
  return values;
}

bool SameDate(const DateParts& a, const DateParts& b, int32_t period_type) {
  if (a.year != b.year) return false;
  if (period_type == kPeriodYear) return true;
  if (a.month != b.month) return false;
  return period_type == kPeriodMonth || a.day == b.day;
}

class Reference {
 public:
  Reference(const ReportParams& params, const ReportContext& context)
      : params_(params),
        group_type_(params.group_type == 1 || params.group_type == 2 ? params.group_type : 0),
        period_type_(params.period_type == 1 || params.period_type == 2 ? params.period_type : 0),
        s_(context.show_account_in_report != 0 || group_type_ == kGroupByAccounts ? 1 : 0),
        context_(context) {}

  void Scan(const std::vector<StoredEntry>& entries, const std::vector<StoredKind>& kinds,
            const std::vector<StoredAccount>& accounts, const platform::Clock& clock) {
    const uint32_t from = DayOrdinal(DateKeyAt(clock, params_.period_from));
    const uint32_t till = DayOrdinal(DateKeyAt(clock, params_.period_till));
    for (const StoredEntry& entry : entries) {
      const int t = static_cast<int8_t>(entry.type & 0xFF);
      if (params_.kind_filter_id != 0 && entry.kind_id != params_.kind_filter_id) continue;
      if (params_.report_type != 0 && t % 10 != params_.report_type) continue;
      if (context_.current_account_id != 0 && entry.account_id != context_.current_account_id) {
        continue;
      }
      const long long sign = t % 10 == 1 ? 1 : -1;
      const long long price = StoredHundredths(entry.price);
      const long long count = StoredHundredths(entry.count);
      // price × count in hundredths of hundredths, rounded once.
      const long long amount = (price * count + 50) / 100;
      const uint32_t day = DayOrdinal(entry.date);
      if (day < from) {
        table_.totals.incoming_balance += sign * amount;
      } else if (day <= till) {
        for (const StoredKind& kind : kinds) {
          if (kind.id != entry.kind_id) continue;
          if ((t % 100) / 10 != 0) continue;
          if (params_.category_filter.Length() > 0 && !(kind.category == params_.category_filter)) {
            continue;
          }
          TextRow row;
          row.value = entry.kind_id;
          row.cells.push_back(Decimal(entry.date));
          if (s_ == 1) row.cells.push_back(FindAccountName(accounts, entry.account_id));
          DbString description = t / 100 != 0 ? DbString("[+] ") : DbString();
          description.AppendString(kind.description);
          row.cells.push_back(description);
          row.cells.push_back(kind.category);
          row.cells.push_back(MoneyText(count));
          row.cells.push_back(MoneyText(sign * price));
          row.cells.push_back(MoneyText(sign * amount));
          InsertInKeyOrder(&scratch_, std::move(row));
        }
      }
    }
  }

  ReportTable Group() {
    if (group_type_ == kGroupByKinds) {
      GroupKinds();
    } else {
      GroupTexts();
    }
    std::stable_sort(table_.rows.begin(), table_.rows.end(),
                     [](const auto& a, const auto& b) { return a.value < b.value; });
    return std::move(table_);
  }

 private:
  ReportCells Leading(const TextRow& row, const ReadBack& values) const {
    ReportCells cells;
    cells.push_back(RowCaption(period_type_, values.date.day, values.date.month, values.date.year));
    if (s_ == 1) cells.push_back(row.cells[1]);
    return cells;
  }

  void AddToTotals(long long sum) {
    (sum < 0 ? table_.totals.spending_total : table_.totals.income_total) += sum;
    table_.totals.rows_total += sum;
  }

  void AddKindsRow(const TextRow& first, const ReadBack& values, long long count, long long price,
                   long long sum) {
    ReportTableRow row;
    row.value = values.sort_key;
    row.cells = Leading(first, values);
    row.cells.push_back(first.cells[1 + s_]);
    row.cells.push_back(first.cells[2 + s_]);
    row.cells.push_back(MoneyText(count));
    row.cells.push_back(MoneyText(price));
    row.cells.push_back(MoneyText(sum));
    AddToTotals(sum);
    table_.rows.push_back(std::move(row));
  }

  void GroupKinds() {
    if (period_type_ == kPeriodDay) {
      for (const TextRow& row : scratch_) {
        const ReadBack values = ReadRow(row, s_);
        AddKindsRow(row, values, values.count, values.price, values.amount);
      }
      return;
    }
    while (!scratch_.empty()) {
      const TextRow first = scratch_.front();
      const ReadBack first_values = ReadRow(first, s_);
      long long count = 0;
      long long sum = 0;
      long long prices = 0;
      int n = 0;
      for (auto it = scratch_.begin(); it != scratch_.end();) {
        const ReadBack values = ReadRow(*it, s_);
        if (it->value == first.value && SameDate(values.date, first_values.date, period_type_)) {
          count += values.count;
          sum += values.amount;
          prices += values.price;
          ++n;
          it = scratch_.erase(it);
        } else {
          ++it;
        }
      }
      // Money per unit: sum ÷ (count ÷ 100).
      const long long price = count != 0 ? Nearest(Wide{sum} * 100, count) : Nearest(prices, n);
      AddKindsRow(first, first_values, count, price, sum);
    }
  }

  void GroupTexts() {
    const int column = group_type_ == kGroupByCategories ? 2 + s_ : 1;
    while (!scratch_.empty()) {
      const TextRow first = scratch_.front();
      const ReadBack first_values = ReadRow(first, s_);
      long long sum = 0;
      for (auto it = scratch_.begin(); it != scratch_.end();) {
        const ReadBack values = ReadRow(*it, s_);
        if (it->cells[column] == first.cells[column] &&
            SameDate(values.date, first_values.date, period_type_)) {
          sum += values.amount;
          it = scratch_.erase(it);
        } else {
          ++it;
        }
      }
      ReportTableRow row;
      row.value = first_values.sort_key;
      row.cells = Leading(first, first_values);
      if (group_type_ == kGroupByCategories) row.cells.push_back(first.cells[2 + s_]);
      row.cells.push_back(MoneyText(sum));
      AddToTotals(sum);
      table_.rows.push_back(std::move(row));
    }
  }

  const ReportParams& params_;
  const int32_t group_type_;
  const int32_t period_type_;
  const int s_;
  const ReportContext& context_;
  std::list<TextRow> scratch_;
  ReportTable table_;
};

}  // namespace

ReportTable ReferenceReport(const std::vector<StoredEntry>& entries,
                            const std::vector<StoredKind>& kinds,
                            const std::vector<StoredAccount>& accounts, const ReportParams& params,
                            const ReportContext& context, const platform::Clock& clock) {
  Reference reference(params, context);
  reference.Scan(entries, kinds, accounts, clock);
  return reference.Group();
}

}  // namespace ledgerix::testing
