// The transfer screen's rules on both storage kinds: what it starts with, the checks in order
// (each refusal writing nothing), the entries a transfer leaves and how the statistics report
// shows them, and a write that fails.
#include "ui/transfer_screen.h"

#include <gtest/gtest.h>

#include "finance/testing/finance_test_support.h"
#include "platform/fault_injection_env.h"
#include "reports/report_source.h"
#include "ui/testing/scripted_screen_services.h"

namespace ledgerix::testing {
namespace {

class TransferScreenTest : public FinanceDbTest {
 protected:
  TransferScreenTest() : state_(root_.env()) {}
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_EQ(db_->AddAccount(MakeAccount(3, "Вклад")), 1);
  }

  TransferScreen& Open(FinanceDb* db) {
    state_.finance = globals_;
    screen_ = std::make_unique<TransferScreen>(db, state_, clock_, services_);
    screen_->Start();
    return *screen_;
  }
  // Payer and receiver by index, amounts as typed.
  TransferScreen& Fill(int payer, int receiver, const char* amount, const char* commission) {
    TransferScreen& screen = Open(db_.get());
    screen.payer = payer;
    screen.receiver = receiver;
    screen.amount_text = DbString(amount);
    screen.commission_text = DbString(commission);
    return screen;
  }
  std::vector<std::string> Written() {
    std::vector<std::string> lines = TableLines(*db_, kEntriesTable);
    for (const std::string& kind : TableLines(*db_, kKindsTable)) lines.push_back(kind);
    return lines;
  }
  ReportTable Report(int32_t report_type) {
    ReportParams params;
    params.period_from = clock_.Now() - 86400;
    params.period_till = clock_.Now();
    params.group_type = kGroupByCategories;
    params.report_type = report_type;
    ReportTable table;
    EXPECT_EQ(BuildReport(db_.get(), params, ReportContext(), clock_, 240, &table), 1);
    return table;
  }

  AppState state_;
  ScriptedScreenServices services_;
  std::unique_ptr<TransferScreen> screen_;
};

TEST_P(TransferScreenTest, StartsOnTodayWithThePayerOnTheCurrentAccount) {
  ASSERT_EQ(db_->AddAccount(MakeAccount(4, "")), 1);  // a nameless account is not offered
  struct Case {
    int32_t current;
    int payer;
  } cases[] = {{2, 1}, {1, 0}, {3, 2}, {0, -1}, {99, -1}};
  for (const Case& c : cases) {
    globals_.current_account_id = c.current;
    TransferScreen& screen = Open(db_.get());
    std::vector<std::string> names;
    for (const TransferAccount& account : screen.accounts()) {
      names.push_back(std::to_string(account.id) + ":" + ToUtf8(account.name));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"1:Наличные", "2:Кредитная карта", "3:Вклад"}));
    EXPECT_EQ(screen.payer, c.payer) << c.current;
    EXPECT_EQ(screen.receiver, -1);
    EXPECT_EQ(std::tie(screen.day, screen.month, screen.year), std::make_tuple(1, 3, 2024));
    EXPECT_EQ(screen.amount_text.View(), "0.00");
    EXPECT_EQ(screen.commission_text.View(), "0.00");
  }
}

TEST_P(TransferScreenTest, ARefusedTransferSaysWhyStaysOpenAndWritesNothing) {
  const std::vector<std::string> before = Written();
  struct Case {
    int payer;
    int receiver;
    const char* amount;
    const char* commission;
    const char* message;
  } cases[] = {
      {-1, -1, "0.00", "5.00", "Не введено значение счета плательщика!!!"},
      {0, -1, "", "", "Не введено значение счета получателя!!!"},
      {1, 1, "", "", "Счета плательщика и получателя не могут быть одинаковыми!!!"},
      {0, 1, "", "", "Не указана сумма перевода!!!"},  // an empty field reads as 0
      {0, 1, "0.00", "0.00", "Не указана сумма перевода!!!"},
      {0, 1, "10.00", "10.01", "Размер комиссии не может превышать сумму перевода!!!"},
      {0, 1, "10.00", "-10.50", "Размер комиссии не может превышать сумму перевода!!!"},
      {0, 1, "99999999.00", "", "Сумма перевода слишком велика!!!"},
  };
  for (const Case& c : cases) {
    TransferScreen& screen = Fill(c.payer, c.receiver, c.amount, c.commission);
    services_.AnswerNextMessage(MessageAnswer::kOk);
    EXPECT_FALSE(screen.OnAccept()) << c.message;
    EXPECT_EQ(services_.MessageTexts().back(), c.message);
    EXPECT_EQ(services_.messages().back().caption, "TOLVENA Info");
    // The input stays for the person to correct.
    EXPECT_EQ(screen.amount_text.View(), c.amount);
    EXPECT_EQ(screen.payer, c.payer);
    EXPECT_EQ(Written(), before) << c.message;
  }
}

// The statistics report shows a transfer's entries as ordinary spending and income of the
// category "Перевод между счетами": over all accounts only the commission is a net change.
TEST_P(TransferScreenTest, ATransferWithCommissionIsThreeEntriesTheReportShowsAsTransfers) {
  TransferScreen& screen = Fill(0, 2, "1000.00", "15.50");
  screen.day = 29;
  screen.month = 2;
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_TRUE(screen.OnAccept());
  EXPECT_EQ(services_.MessageTexts(), (std::vector<std::string>{"Перевод осуществлен"}));
  const std::vector<std::string> entries = TableLines(*db_, kEntriesTable);
  ASSERT_EQ(entries.size(), 3u);
  const std::string now = std::to_string(clock_.Now());
  const std::string fee = std::to_string(clock_.Now() + 1);
  const std::string credit = std::to_string(clock_.Now() + 2);
  // price and count packed: 15.50 is 15 << 8 | 50, 1000.00 is 1000 << 8, 1 is 256.
  std::vector<std::string> expected = {fee + ";390224;3890;256;2;;1;0;",
                                       now + ";390224;256000;256;2;;1;0;",
                                       credit + ";390224;256000;256;1;;3;0;"};
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> sorted = entries;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, expected);

  struct Case {
    int32_t report_type;
    int64_t rows_total;
  } cases[] = {{kReportBalance, -1550}, {kReportSpending, -101550}, {kReportIncome, 100000}};
  const std::string category(FromUtf8("Перевод между счетами").View());
  for (const Case& c : cases) {
    const ReportTable table = Report(c.report_type);
    ASSERT_EQ(table.rows.size(), 1u) << c.report_type;
    bool shown = false;
    for (std::string_view cell : table.rows[0].cells) shown = shown || cell == category;
    EXPECT_TRUE(shown) << c.report_type;
    EXPECT_EQ(table.totals.rows_total, c.rows_total) << c.report_type;
  }
}

TEST_P(TransferScreenTest, WithoutADatabaseTheChecksRunAndTheScreenClosesQuietly) {
  TransferScreen& screen = Open(nullptr);
  EXPECT_TRUE(screen.accounts().empty());
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_FALSE(screen.OnAccept());
  EXPECT_EQ(services_.MessageTexts().back(), "Не введено значение счета плательщика!!!");
}

TEST_P(TransferScreenTest, AWriteThatFailsIsReportedAndLeavesNothing) {
  platform::FaultInjectionEnv faulty(&root_.env());
  FinanceDb db(faulty, clock_, globals_);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  const std::vector<std::string> kinds = TableLines(db, kKindsTable);
  state_.finance = globals_;
  TransferScreen screen(&db, state_, clock_, services_);
  screen.Start();
  screen.payer = 0;
  screen.receiver = 1;
  screen.amount_text = DbString("5.00");
  faulty.SetDiskFull(true);
  services_.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_FALSE(screen.OnAccept());
  faulty.SetDiskFull(false);
  EXPECT_EQ(services_.MessageTexts().back(), "Ошибка записи: перевод не выполнен!");
  EXPECT_EQ(services_.messages().back().icon, MessageIcon::kError);
  EXPECT_TRUE(TableLines(db, kEntriesTable).empty());
  EXPECT_EQ(TableLines(db, kKindsTable), kinds);
}

INSTANTIATE_TEST_SUITE_P(Drivers, TransferScreenTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
