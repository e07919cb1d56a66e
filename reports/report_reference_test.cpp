// The fast report build (hash maps, money in integers) against the plain reference that follows
// the rules step by step, and its totals against the stored hundredths summed straight from the
// tables, on random tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "finance/date_key.h"
#include "platform/clock.h"
#include "reports/entry_scan.h"
#include "reports/periods.h"
#include "reports/report_builder.h"
#include "reports/testing/reference_report.h"
#include "testing/fake_clock.h"

namespace ledgerix {
namespace {

// Random tables made to hit the corners: duplicate kind ids, shared and empty categories,
// accounts sharing a name or an id, id 0, unknown kinds and accounts, every kind of type code,
// stored hundredths above 99, and a few date keys that are not six digits long.
struct RandomTables {
  std::vector<StoredEntry> entries;
  std::vector<StoredKind> kinds;
  std::vector<StoredAccount> accounts;
  std::vector<DbString> categories;
};

RandomTables MakeTables(uint32_t seed, int entry_count) {
  std::mt19937 random(seed);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  RandomTables tables;
  tables.categories = {FromUtf8("Еда"), FromUtf8("Проезд"), DbString(), FromUtf8("Еда ")};
  for (int i = 0; i < 14; ++i) {
    StoredKind kind;
    kind.id = i < 12 ? i : pick(0, 5);  // the last two repeat an id
    kind.description = FromUtf8("Вид " + std::to_string(i));
    kind.category = tables.categories[pick(0, 3)];
    tables.kinds.push_back(kind);
  }
  const char* names[] = {"Наличные", "Карта", "Карта", "Сейф", "Вклад", "Нулевой"};
  const int32_t ids[] = {1, 2, 3, 4, 1, 0};
  for (int i = 0; i < 6; ++i) tables.accounts.push_back({ids[i], FromUtf8(names[i])});
  const int32_t types[] = {1, 2, 11, 12, 101, 102, 111, 112, 0, 3, 200, 257};
  for (int i = 0; i < entry_count; ++i) {
    StoredEntry entry;
    entry.kind_id = pick(0, 13);
    entry.date = BuildDateKey(pick(1, 28 + pick(0, 3)), pick(1, 12), pick(2007, 2011));
    if (pick(0, 60) == 0) entry.date = pick(0, 2) == 0 ? 99999 : 1011209;
    entry.price = pick(0, 12) == 0 ? 0 : (pick(0, 500) << 8) | pick(0, 110);
    // Now and then a price near the largest a code holds.
    if (pick(0, 40) == 0) entry.price = (pick(16777000, 16777215) << 8) | pick(0, 99);
    entry.count = pick(0, 8) == 0 ? 0 : (pick(0, 20) << 8) | pick(0, 99);
    entry.type = types[pick(0, 11)];
    entry.account_id = pick(0, 6);
    tables.entries.push_back(entry);
  }
  return tables;
}

void ExpectSameReport(const ReportTable& fast, const ReportTable& reference,
                      const std::string& where) {
  ASSERT_EQ(fast.rows.size(), reference.rows.size()) << where;
  for (size_t r = 0; r < fast.rows.size(); ++r) {
    EXPECT_EQ(fast.rows[r].value, reference.rows[r].value) << where << " row " << r;
    ASSERT_EQ(fast.rows[r].cells.size(), reference.rows[r].cells.size()) << where << " row " << r;
    for (size_t c = 0; c < fast.rows[r].cells.size(); ++c) {
      EXPECT_EQ(ToUtf8(DbString(fast.rows[r].cells[c])),
                ToUtf8(DbString(reference.rows[r].cells[c])))
          << where << " row " << r << " column " << c;
    }
    ASSERT_EQ(fast.rows[r].cells.size(), fast.columns.size()) << where << " row " << r;
  }
  EXPECT_EQ(fast.totals.incoming_balance, reference.totals.incoming_balance) << where;
  EXPECT_EQ(fast.totals.rows_total, reference.totals.rows_total) << where;
  EXPECT_EQ(fast.totals.income_total, reference.totals.income_total) << where;
  EXPECT_EQ(fast.totals.spending_total, reference.totals.spending_total) << where;
}

// The hundredths of a stored code, and an entry's signed amount: price × count rounded once.
int64_t Hundredths(int32_t code) {
  const auto bits = static_cast<uint32_t>(code);
  return int64_t{bits >> 8} * 100 + std::min<int64_t>(bits & 0xFF, 99);
}
int64_t SignedAmount(const StoredEntry& entry) {
  const int64_t amount = (Hundredths(entry.price) * Hundredths(entry.count) + 50) / 100;
  return static_cast<int8_t>(entry.type & 0xFF) % 10 == 1 ? amount : -amount;
}

// A money cell read back digit by digit.
int64_t CellHundredths(std::string_view cell) {
  int64_t value = 0;
  for (char c : cell) {
    if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
  }
  return cell.starts_with('-') ? -value : value;
}

// Every total of a built report against sums of the stored hundredths: the incoming balance
// and the rows' total summed straight from the entries that the selection keeps, the rows' sums
// adding up to the rows' total, and income and spending parting the rows by their sums' signs.
void ExpectExactTotals(const ReportTable& table, const RandomTables& tables,
                       const ReportParams& params, const ReportContext& context,
                       const platform::Clock& clock, const std::string& where) {
  const uint32_t from = DayOrdinal(DateKeyAt(clock, params.period_from));
  const uint32_t till = DayOrdinal(DateKeyAt(clock, params.period_till));
  int64_t incoming = 0;
  int64_t listed = 0;
  for (const StoredEntry& entry : tables.entries) {
    const int t = static_cast<int8_t>(entry.type & 0xFF);
    if (params.kind_filter_id != 0 && entry.kind_id != params.kind_filter_id) continue;
    if (params.report_type != 0 && t % 10 != params.report_type) continue;
    if (context.current_account_id != 0 && entry.account_id != context.current_account_id) {
      continue;
    }
    const uint32_t day = DayOrdinal(entry.date);
    if (day < from) incoming += SignedAmount(entry);
    if (day < from || day > till || t % 100 / 10 != 0) continue;
    for (const StoredKind& kind : tables.kinds) {
      const bool category = params.category_filter.Length() == 0 ||
                            kind.category.View() == params.category_filter.View();
      if (kind.id == entry.kind_id && category) listed += SignedAmount(entry);
    }
  }
  EXPECT_EQ(table.totals.incoming_balance, incoming) << where;
  EXPECT_EQ(table.totals.rows_total, listed) << where;
  int64_t rows = 0;
  int64_t income = 0;
  int64_t spending = 0;
  for (const ReportTableRow& row : table.rows) {
    const int64_t sum = CellHundredths(row.cells[row.cells.size() - 1]);
    rows += sum;
    (sum < 0 ? spending : income) += sum;
  }
  EXPECT_EQ(rows, listed) << where;
  EXPECT_EQ(table.totals.income_total, income) << where;
  EXPECT_EQ(table.totals.spending_total, spending) << where;
}

int64_t Day(int year, int month, int day) {
  return platform::FromUtcTime(platform::LocalTime{year, month, day, 12, 0, 0, 0});
}

TEST(ReportReferenceTest, FastBuildGivesTheReferenceRowsAndTotals) {
  testing::FakeClock clock;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const RandomTables tables = MakeTables(seed, 500);
    ReportCatalog catalog(tables.kinds, tables.accounts);
    std::mt19937 random(seed * 31);
    auto pick = [&](int low, int high) {
      return std::uniform_int_distribution<int>(low, high)(random);
    };
    int rows_seen = 0;
    for (int group_type = 0; group_type < 3; ++group_type) {
      for (int period_type = 0; period_type < 3; ++period_type) {
        for (int show_account = 0; show_account < 2; ++show_account) {
          for (int filters = 0; filters < 4; ++filters) {
            ReportParams params;
            params.group_type = group_type;
            params.period_type = period_type;
            params.period_from = Day(2008, pick(1, 12), pick(1, 28));
            // Keys that are not dates have the first ordinal: only such a period shows them.
            if (pick(0, 5) == 0) params.period_from = Day(2000, 1, 1);
            params.period_till = Day(2009 + pick(-1, 2), pick(1, 12), pick(1, 28));
            ReportContext context;
            context.show_account_in_report = show_account;
            if (filters >= 1) params.report_type = pick(0, 2);
            if (filters >= 2) {
              params.category_filter = tables.categories[pick(0, 3)];
              context.current_account_id = pick(0, 4);
            }
            if (filters == 3) params.kind_filter_id = pick(0, 6);
            const std::string where =
                "seed " + std::to_string(seed) + " group " + std::to_string(group_type) +
                " period " + std::to_string(period_type) + " account " +
                std::to_string(show_account) + " filters " + std::to_string(filters);

            const EntryScan scan =
                ScanEntryList(catalog, ScanQuery::Of(params, context, clock), tables.entries);
            ReportTable fast;
            AssembleReport(scan, params, context, 240, &fast);
            const ReportTable reference = testing::ReferenceReport(
                tables.entries, tables.kinds, tables.accounts, params, context, clock);
            ExpectSameReport(fast, reference, where);
            ExpectExactTotals(fast, tables, params, context, clock, where);
            rows_seen += static_cast<int>(fast.rows.size());
          }
        }
      }
    }
    EXPECT_GT(rows_seen, 500) << "seed " << seed << " hardly produced rows";
  }
}

}  // namespace
}  // namespace ledgerix
