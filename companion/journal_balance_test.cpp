// The journal against the statistics: over the ten-year household, for random periods and every
// grouping, the balances hledger computes from ledgerix.journal equal the rows of
// `ldxload report` and of the report build. Runs when hledger is installed (scripts/setup.sh
// installs it with the test tools); skipped otherwise.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "companion/companion_program.h"
#include "companion/testing/companion_fixture.h"
#include "platform/clock.h"
#include "reports/report_source.h"

namespace ledgerix::testing {
namespace {

using Balances = std::map<std::string, int64_t>;

bool HasTool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& command) {
  std::string text;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (pipe == nullptr) return text;
  char buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, n);
  return text;
}

// "-1,234.5" as hundredths.
int64_t Hundredths(std::string text) {
  std::erase(text, ',');
  std::erase(text, '"');
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  const size_t point = text.find('.');
  std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  fraction.resize(2, '0');
  const int64_t value = std::stoll(text.substr(0, point)) * 100 + std::stoll(fraction.substr(0, 2));
  return negative ? -value : value;
}

void Add(Balances* balances, const std::string& key, int64_t amount) {
  if (((*balances)[key] += amount) == 0) balances->erase(key);
}

// Splits simple CSV lines (quoted fields without inner quotes or commas, as the tools write
// these).
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (char c : line) {
      if (c == '"') {
        quoted = !quoted;
      } else if (c == ',' && !quoted) {
        fields.push_back(field);
        field.clear();
      } else {
        field += c;
      }
    }
    fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

std::string IsoDay(int64_t day) {
  const platform::LocalTime t = platform::UtcTime(946684800 + day * 86400);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
  return text;
}

const char* kGroupNames[] = {"kinds", "categories", "accounts"};

// The statistics rows of a grouping folded to one sum per group: kinds by "category:kind",
// categories by category, accounts by name. Columns found by title.
Balances FoldRows(const std::vector<std::string>& titles,
                  const std::vector<std::vector<std::string>>& rows, int group) {
  auto column = [&](const char* title) {
    for (size_t c = 0; c < titles.size(); ++c) {
      if (titles[c] == title) return c;
    }
    ADD_FAILURE() << "no column " << title;
    return size_t{0};
  };
  Balances folded;
  const size_t sum = column("Сумма");
  for (const std::vector<std::string>& row : rows) {
    std::string key;
    if (group == kGroupByKinds) {
      std::string kind = row[column("Описание")];
      if (kind.rfind("[+] ", 0) == 0) kind.erase(0, 4);
      key = row[column("Категория")] + ":" + kind;
    } else {
      key = row[column(group == kGroupByCategories ? "Категория" : "Счет")];
    }
    Add(&folded, key, Hundredths(row[sum]));
  }
  return folded;
}

// The journal's balances of a period folded as FoldRows folds the statistics: kinds and
// categories with their sign turned, accounts as they are.
Balances FoldJournal(const Balances& accounts, int group) {
  Balances folded;
  for (const auto& [account, amount] : accounts) {
    const size_t colon = account.find(':');
    const std::string root = account.substr(0, colon);
    const std::string rest = account.substr(colon + 1);
    if (group == kGroupByAccounts) {
      if (root == "Счета") Add(&folded, rest, amount);
    } else if (root == "Доходы" || root == "Расходы") {
      Add(&folded, group == kGroupByKinds ? rest : rest.substr(0, rest.find(':')), -amount);
    }
  }
  return folded;
}

Balances ToolBalances(const std::string& output, bool hledger) {
  Balances balances;
  std::istringstream lines(output);
  bool header = hledger;
  for (std::string line; std::getline(lines, line);) {
    if (header) {
      header = false;
      continue;
    }
    std::string account;
    std::string amount;
    if (hledger) {
      const std::vector<std::string> fields = CsvRows(line).at(0);
      account = fields.at(0);
      amount = fields.at(1);
    } else {
      const size_t tab = line.find('\t');
      account = line.substr(0, tab);
      amount = line.substr(tab + 1);
    }
    Add(&balances, account, Hundredths(amount));
  }
  return balances;
}

class JournalBalanceTest : public CompanionTest {};

TEST_P(JournalBalanceTest, HledgerGivesTheStatisticsOfEveryGroupingOverRandomPeriods) {
  if (!HasTool("hledger")) GTEST_SKIP() << "hledger is not installed";
  ASSERT_TRUE(device_.Load(HouseholdExchangeText(bench::MakeHousehold({50000, 1}))));
  const std::string journal = device_.ScratchPath("ledgerix.journal");
  ASSERT_EQ(device_.Run({"export", "journal", "--output", journal}).exit_code, kExitSuccess);

  std::mt19937 random(20261208);
  // Days from 1 January 2000: the household covers 2010 (day 3653) to 2019.
  std::vector<std::pair<int64_t, int64_t>> periods = {{3653, 7304}};
  for (int i = 0; i < 3; ++i) {
    const int64_t from = std::uniform_int_distribution<int64_t>(3600, 7200)(random);
    periods.emplace_back(from, from + std::uniform_int_distribution<int64_t>(0, 900)(random));
  }
  for (const auto& [from, till] : periods) {
    SCOPED_TRACE(IsoDay(from) + " .. " + IsoDay(till));
    const Balances journal_balances =
        ToolBalances(Output("hledger -f '" + journal + "' bal -O csv -N --flat -b " + IsoDay(from) +
                            " -e " + IsoDay(till + 1)),
                     true);
    ASSERT_FALSE(journal_balances.empty());
    for (int group = kGroupByKinds; group <= kGroupByAccounts; ++group) {
      SCOPED_TRACE(kGroupNames[group]);
      const CompanionRun run =
          device_.Run({"report", "--from", IsoDay(from), "--till", IsoDay(till), "--group",
                       kGroupNames[group], "--rows", "year", "--format", "csv"});
      ASSERT_EQ(run.exit_code, kExitSuccess) << run.err;
      std::vector<std::vector<std::string>> printed = CsvRows(run.out);
      const std::vector<std::string> titles = printed.at(0);
      printed.erase(printed.begin());

      ReportParams params;
      params.period_from = 946684800 + from * 86400;
      params.period_till = 946684800 + till * 86400;
      params.period_type = kPeriodYear;
      params.group_type = group;
      ReportContext context;
      context.show_account_in_report = group == kGroupByAccounts ? 1 : 0;
      ReportTable table;
      ASSERT_TRUE(device_.OpenDatabase());
      ASSERT_TRUE(BuildReport(&device_.db(), params, context, device_.clock(), 240, &table));
      device_.CloseDatabase();
      std::vector<std::string> built_titles;
      for (const ReportColumn& column : table.columns) built_titles.push_back(ToUtf8(column.title));
      std::vector<std::vector<std::string>> built;
      for (const ReportTableRow& row : table.rows) {
        std::vector<std::string> cells;
        for (std::string_view cell : row.cells) cells.push_back(ToUtf8(DbString(cell)));
        built.push_back(cells);
      }
      const Balances from_program = FoldRows(titles, printed, group);
      EXPECT_EQ(from_program, FoldRows(built_titles, built, group));
      EXPECT_EQ(printed.size(), built.size());
      EXPECT_EQ(FoldJournal(journal_balances, group), from_program);
    }
  }
}

TEST_P(JournalBalanceTest, LedgerReadsTheSameBalancesAsHledger) {
  if (!HasTool("hledger") || !HasTool("ledger")) GTEST_SKIP() << "hledger or ledger missing";
  ASSERT_TRUE(device_.Load(HouseholdExchangeText(bench::MakeHousehold({5000, 2}))));
  const std::string journal = device_.ScratchPath("ledgerix.journal");
  ASSERT_EQ(device_.Run({"export", "journal", "--output", journal}).exit_code, kExitSuccess);
  const std::string period = " -b 2012-03-01 -e 2015-07-01";
  const Balances from_hledger =
      ToolBalances(Output("hledger -f '" + journal + "' bal -O csv -N --flat" + period), true);
  const Balances from_ledger =
      ToolBalances(Output("ledger -f '" + journal + "' bal --flat --no-total" + period +
                          " --balance-format '%(account)\\t%(display_total)\\n'"),
                   false);
  EXPECT_FALSE(from_hledger.empty());
  EXPECT_EQ(from_ledger, from_hledger);
}

INSTANTIATE_TEST_SUITE_P(Drivers, JournalBalanceTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
