// The fast report build (hash maps, amounts read back without texts) against the plain
// reference that follows the rules step by step, on random tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "engine/parse.h"
#include "finance/date_key.h"
#include "finance/format_amount.h"
#include "platform/clock.h"
#include "reports/amount_read_back.h"
#include "reports/entry_scan.h"
#include "reports/report_builder.h"
#include "reports/testing/reference_report.h"
#include "testing/fake_clock.h"

namespace ledgerix {
namespace {

double TextRoundTrip(double amount) {
  const DbString text = FormatAmount(amount, 2);
  double value = ParseDecimal(text.CStr());
  return text.CharAt(0) == '-' && value != 0 ? -value : value;
}

// Bit for bit, so that a difference in the last place shows.
void ExpectSameBits(double fast, double reference, const std::string& what) {
  EXPECT_TRUE(std::memcmp(&fast, &reference, sizeof fast) == 0 || (fast == 0 && reference == 0))
      << what << ": " << fast << " vs " << reference;
}

TEST(ReadBackAmountTest, EqualsTheTextRoundTripBitForBit) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int64_t> cents(-2'000'000'000'000, 2'000'000'000'000);
  std::uniform_real_distribution<double> any(-1e9, 1e9);
  for (int i = 0; i < 20000; ++i) {
    const double on_cents = static_cast<double>(cents(random)) / 100.0;
    ExpectSameBits(ReadBackAmount(on_cents), TextRoundTrip(on_cents), std::to_string(on_cents));
    const double between = any(random);
    ExpectSameBits(ReadBackAmount(between), TextRoundTrip(between), std::to_string(between));
  }
  for (double edge : {0.0, -0.0, 0.29, -0.29, 1.15, 0.005, -0.005, 0.0099999999, 1.9999999,
                      -1.9999996, 16777215.99, 2.8e14 + 0.37}) {
    ExpectSameBits(ReadBackAmount(edge), TextRoundTrip(edge), std::to_string(edge));
  }
}

TEST(ReadBackAmountTest, CutsToHundredthsAndAddsTheDigitsInSinglePrecision) {
  EXPECT_EQ(ReadBackAmount(1.239), 1 + static_cast<double>(0.2f) + static_cast<double>(0.03f));
  EXPECT_NE(ReadBackAmount(12.35), 12.35);  // the float fractions show in the last places
  EXPECT_EQ(ReadBackAmount(-0.004), 0);     // "-0.00" reads back as 0, not -0
  EXPECT_FALSE(std::signbit(ReadBackAmount(-0.004)));
  EXPECT_LT(ReadBackAmount(-0.01), 0);
}

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
      EXPECT_EQ(ToUtf8(DbString(fast.rows[r].cells[c])), ToUtf8(DbString(reference.rows[r].cells[c])))
          << where << " row " << r << " column " << c;
    }
    ASSERT_EQ(fast.rows[r].cells.size(), fast.columns.size()) << where << " row " << r;
  }
  ExpectSameBits(fast.totals.incoming_balance, reference.totals.incoming_balance,
                 where + " incoming");
  ExpectSameBits(fast.totals.rows_total, reference.totals.rows_total, where + " rows total");
  ExpectSameBits(fast.totals.income_total, reference.totals.income_total, where + " income");
  ExpectSameBits(fast.totals.spending_total, reference.totals.spending_total, where + " spending");
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
