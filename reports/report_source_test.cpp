// Reports built from the finance database, on both storage drivers.
#include "reports/report_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>

#include "finance/finance_db.h"
#include "finance/packed_amount.h"
#include "finance/record_access.h"
#include "reports/testing/reference_report.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

int64_t At(int year, int month, int day) {
  return platform::FromUtcTime(platform::LocalTime{year, month, day, 12, 0, 0, 0});
}

class ReportSourceTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  void SetUp() override {
    globals_.storage_kind = GetParam();
    ASSERT_EQ(db_.Open(kDatabaseName), 1);
    params_.period_from = At(2008, 3, 1);
    params_.period_till = At(2008, 3, 31);
  }

  void AddEntry(int32_t kind, int day, int month, int year, double price, double count,
                int32_t type = 2, int32_t account = 1) {
    EntryRecord entry;
    entry.kind_id = kind;
    entry.date = BuildDateKey(day, month, year);
    entry.price = price;
    entry.count = count;
    entry.type = type;
    entry.account_id = account;
    ASSERT_EQ(db_.AddEntry(entry), 1);
  }

  // The entries in the order the driver walks them, read field by field.
  std::vector<StoredEntry> ReadEntries() {
    std::vector<StoredEntry> entries;
    std::unique_ptr<DbRecordSet> records = OpenTableRecordSet(db_.Connection(), kEntriesTable);
    EXPECT_NE(records, nullptr);
    if (records == nullptr) return entries;
    for (; !records->IsEOF(); records->MoveNext()) {
      DbRecord* record = records->CurrentRecord(-1);
      entries.push_back({IntField(record, "consumer_id"), IntField(record, "curdate"),
                         IntField(record, "price"), IntField(record, "count"),
                         IntField(record, "type"), IntField(record, "firm_id")});
    }
    return entries;
  }

  static std::string Row(const ReportTable& table, size_t r) {
    std::string text;
    for (std::string_view cell : table.rows.at(r).cells) text += ToUtf8(DbString(cell)) + "|";
    return text;
  }

  testing::TempDeviceRoot device_;
  testing::FakeClock clock_{At(2008, 4, 1)};
  FinanceGlobals globals_;
  FinanceDb db_{device_.env(), clock_, globals_};
  ReportParams params_;
  ReportContext context_;
};

// The default kinds: 1 "Бензин" ("Машина"), 2 "Такси" and 3 "Маршрутное такси" ("Проезд"),
// 4 "Кино", 5 "Премия"; accounts 1 "Наличные" and 2 "Кредитная карта".
TEST_P(ReportSourceTest, BuildsFromTheStoredEntries) {
  AddEntry(1, 20, 2, 2008, 7, 1);
  AddEntry(5, 25, 2, 2008, 3500, 1, 1);
  AddEntry(1, 5, 3, 2008, 10, 1, 2, 2);
  AddEntry(1, 20, 3, 2008, 20, 3, 102);
  AddEntry(3, 20, 3, 2008, 15, 2);
  AddEntry(4, 1, 4, 2008, 350, 1);
  params_.period_type = kPeriodMonth;
  context_.show_account_in_report = 1;
  ReportTable table;
  ASSERT_EQ(BuildReport(&db_, params_, context_, clock_, 240, &table), 1);
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(Row(table, 0), "март`08 год|Кредитная карта|Бензин|Машина|4.00|-17.50|-70.00|");
  EXPECT_EQ(Row(table, 1), "март`08 год|Наличные|Маршрутное такси|Проезд|2.00|-15.00|-30.00|");
  EXPECT_EQ(table.totals.incoming_balance, 3493'00);
  EXPECT_EQ(table.totals.spending_total, -100'00);
  EXPECT_EQ(table.columns.size(), 7u);

  params_.group_type = kGroupByAccounts;
  params_.period_type = kPeriodDay;
  context_.current_account_id = 1;
  ASSERT_EQ(BuildReport(&db_, params_, context_, clock_, 240, &table), 1);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(Row(table, 0), "20.03.08|Наличные|-90.00|");
  EXPECT_EQ(table.totals.incoming_balance, 3493'00);
}

TEST_P(ReportSourceTest, MatchesTheReferenceOnRandomTables) {
  ASSERT_EQ(db_.DeleteAllData(), 1);
  std::mt19937 random(static_cast<unsigned>(GetParam()));
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  std::vector<StoredKind> kinds;
  std::vector<StoredAccount> accounts;
  std::vector<StoredEntry> entries;
  const char* categories[] = {"Еда", "Проезд", ""};
  for (int i = 0; i < 8; ++i) {
    KindRecord kind;
    kind.id = i < 7 ? i + 1 : 2;  // the last repeats id 2
    kind.name = FromUtf8("Вид " + std::to_string(i));
    kind.category = FromUtf8(categories[i % 3]);
    kind.type = 1 + i % 2;
    ASSERT_EQ(db_.AddKind(kind), 1);
    kinds.push_back({kind.id, kind.name, kind.category});
  }
  const char* names[] = {"Наличные", "Карта", "Карта"};
  for (int i = 0; i < 3; ++i) {
    AccountRecord account;
    account.id = i + 1;
    account.name = FromUtf8(names[i]);
    ASSERT_EQ(db_.AddAccount(account), 1);
    accounts.push_back({account.id, account.name});
  }
  const int32_t types[] = {1, 2, 12, 101, 102};
  for (int i = 0; i < 150; ++i) {
    StoredEntry entry{pick(0, 8),
                      BuildDateKey(pick(1, 28), pick(1, 12), pick(2007, 2009)),
                      (pick(0, 300) << 8) | pick(0, 99),
                      (pick(0, 5) << 8) | pick(0, 99),
                      types[pick(0, 4)],
                      pick(0, 4)};
    EntryRecord record;
    record.kind_id = entry.kind_id;
    record.date = entry.date;
    record.price = UnpackAmount(entry.price);
    record.count = UnpackAmount(entry.count);
    record.type = entry.type;
    record.account_id = entry.account_id;
    ASSERT_EQ(db_.AddEntry(record), 1);
    entries.push_back(entry);
  }
  // The drivers keep rows in an order of their own; the reference walks them in that order.
  std::vector<StoredEntry> stored = ReadEntries();
  ASSERT_EQ(stored.size(), entries.size());
  auto order = [](const StoredEntry& a, const StoredEntry& b) {
    return std::tie(a.kind_id, a.date, a.price, a.count, a.type, a.account_id) <
           std::tie(b.kind_id, b.date, b.price, b.count, b.type, b.account_id);
  };
  std::vector<StoredEntry> sorted_stored = stored;
  std::sort(sorted_stored.begin(), sorted_stored.end(), order);
  std::sort(entries.begin(), entries.end(), order);
  for (size_t i = 0; i < entries.size(); ++i) {
    ASSERT_FALSE(order(entries[i], sorted_stored[i]) || order(sorted_stored[i], entries[i])) << i;
  }
  params_.period_from = At(2008, 1, 10);
  params_.period_till = At(2008, 11, 20);
  for (int group_type = 0; group_type < 3; ++group_type) {
    for (int period_type = 0; period_type < 3; ++period_type) {
      for (int show_account = 0; show_account < 2; ++show_account) {
        params_.group_type = group_type;
        params_.period_type = period_type;
        context_.show_account_in_report = show_account;
        context_.current_account_id = show_account == 1 ? 2 : 0;
        ReportTable table;
        ASSERT_EQ(BuildReport(&db_, params_, context_, clock_, 240, &table), 1);
        const ReportTable reference =
            testing::ReferenceReport(stored, kinds, accounts, params_, context_, clock_);
        const std::string where = std::to_string(group_type) + "/" + std::to_string(period_type) +
                                  "/" + std::to_string(show_account);
        ASSERT_EQ(table.rows.size(), reference.rows.size()) << where;
        for (size_t r = 0; r < table.rows.size(); ++r) {
          EXPECT_EQ(Row(table, r), Row(reference, r)) << where;
          EXPECT_EQ(table.rows[r].value, reference.rows[r].value) << where;
        }
        EXPECT_EQ(table.totals.incoming_balance, reference.totals.incoming_balance) << where;
        EXPECT_EQ(table.totals.rows_total, reference.totals.rows_total) << where;
        EXPECT_EQ(table.totals.income_total, reference.totals.income_total) << where;
        EXPECT_EQ(table.totals.spending_total, reference.totals.spending_total) << where;
      }
    }
  }
}

TEST_P(ReportSourceTest, WithoutAnOpenDatabaseTheTableStaysAsItWas) {
  ReportTable table;
  table.rows.push_back({ReportCells{"old"}, 1});
  table.totals.incoming_balance = 5;
  EXPECT_EQ(BuildReport(nullptr, params_, context_, clock_, 240, &table), 0);
  FinanceDb closed(device_.env(), clock_, globals_);
  EXPECT_EQ(BuildReport(&closed, params_, context_, clock_, 240, &table), 0);
  ASSERT_EQ(table.rows.size(), 1u);
  EXPECT_EQ(table.totals.incoming_balance, 5);
  EXPECT_TRUE(table.columns.empty());
}

// Entries, or the kinds they need, that cannot be read give an empty report that says so: a
// report without them would look complete (unreadable kinds used to drop their entries' rows
// and answer 1).
TEST_P(ReportSourceTest, UnreadableEntriesOrKindsGiveAnEmptyReportThatSaysSo) {
  if (GetParam() != DriverKind::kFileDatabase)
    GTEST_SKIP() << "the table file is the file database's";
  for (const char16_t* file :
       {u"\\tolvena_db\\[sec_data].$tab$", u"\\tolvena_db\\[sec_consumeritems].$tab$"}) {
    SCOPED_TRACE(device_.HostPath(file));
    testing::TempDeviceRoot fresh;
    FinanceDb db(fresh.env(), clock_, globals_);
    ASSERT_EQ(db.Open(kDatabaseName), 1);
    EntryRecord entry;
    entry.date = BuildDateKey(5, 3, 2008);
    entry.price = 10;
    entry.count = 1;
    entry.kind_id = 1;
    entry.type = 2;
    entry.account_id = 1;
    ASSERT_EQ(db.AddEntry(entry), 1);
    ReportTable table;
    ASSERT_EQ(BuildReport(&db, params_, context_, clock_, 240, &table), 1);
    ASSERT_FALSE(table.rows.empty());
    table.totals.incoming_balance = 42;
    table.totals.rows_total = 7;
    // Cut the table file short: its header no longer holds.
    ASSERT_TRUE(fresh.Exists(file));
    ASSERT_EQ(truncate(fresh.HostPath(file).c_str(), 3), 0);
    EXPECT_EQ(BuildReport(&db, params_, context_, clock_, 240, &table), 0);
    EXPECT_TRUE(table.rows.empty());
    EXPECT_EQ(table.totals.incoming_balance, 42);
    EXPECT_EQ(table.totals.rows_total, 0);
    EXPECT_EQ(table.columns.size(), 6u);
  }
}

INSTANTIATE_TEST_SUITE_P(Drivers, ReportSourceTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix
