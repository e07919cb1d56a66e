// Transfers between accounts on both storage kinds: the input checks and their messages, the
// fixed kinds and their ids, the entries written, and a transfer that cannot be written whole.
#include "reports/transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/db_string.h"
#include "finance/type_code.h"
#include "platform/fault_injection_env.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

std::string Cp(const char* utf8) { return std::string(FromUtf8(utf8).View()); }

TransferRequest Request(int32_t payer, int32_t receiver, const char* amount,
                        const char* commission) {
  TransferRequest request;
  request.day = 5;
  request.month = 3;
  request.year = 2009;
  request.payer_id = payer;
  request.receiver_id = receiver;
  request.amount_text = DbString(amount);
  request.commission_text = DbString(commission);
  return request;
}

class TransferTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  TransferTest() {
    clock_.SetDate(2009, 3, 5, 10, 0);
    globals_.storage_kind = GetParam();
  }

  void SetUp() override { ASSERT_EQ(db_.Open(kDatabaseName), 1); }

  int32_t Now() const { return static_cast<int32_t>(clock_.Now()); }

  // The data lines of a table, sorted (the drivers keep rows in their own orders).
  std::vector<std::string> Lines(FinanceDb& db, const char* table) {
    const std::string text(db.WriteTableSection(table).View());
    std::vector<std::string> lines;
    size_t start = text.find("\r\n");
    while (start != std::string::npos && start + 2 < text.size()) {
      const size_t end = text.find("\r\n", start + 2);
      lines.push_back(text.substr(start + 2, end - start - 2));
      start = end;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  std::vector<std::string> Entries() { return Lines(db_, kEntriesTable); }

  // The kinds of one name, by their ids.
  std::vector<int32_t> KindIds(const DbString& name) {
    std::vector<int32_t> ids;
    for (const std::string& line : Lines(db_, kKindsTable)) {
      const size_t first = line.find(';');
      const size_t second = line.find(';', first + 1);
      if (line.substr(first + 1, second - first - 1) == name.View()) {
        ids.push_back(std::stoi(line.substr(0, first)));
      }
    }
    return ids;
  }

  testing::TempDeviceRoot device_;
  testing::FakeClock clock_;
  FinanceGlobals globals_;
  FinanceDb db_{device_.env(), clock_, globals_};
};

TEST_P(TransferTest, TheFiveChecksRunInOrderAndWriteNothing) {
  struct Case {
    TransferRequest request;
    TransferResult result;
    const char* message;
  };
  const std::vector<Case> cases = {
      {Request(0, 0, "", ""), TransferResult::kNoPayer, "Не введено значение счета плательщика!!!"},
      {Request(1, 0, "10.00", ""), TransferResult::kNoReceiver,
       "Не введено значение счета получателя!!!"},
      {Request(2, 2, "", "5.00"), TransferResult::kSameAccounts,
       "Счета плательщика и получателя не могут быть одинаковыми!!!"},
      {Request(1, 2, "", "5.00"), TransferResult::kNoAmount, "Не указана сумма перевода!!!"},
      {Request(1, 2, "0.00", ""), TransferResult::kNoAmount, "Не указана сумма перевода!!!"},
      {Request(1, 2, "10.00", "10.01"), TransferResult::kCommissionOverAmount,
       "Размер комиссии не может превышать сумму перевода!!!"},
      {Request(1, 2, "16777216.00", "1.00"), TransferResult::kAmountTooLarge,
       "Сумма перевода слишком велика!!!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckTransfer(c.request), c.result) << c.message;
    EXPECT_EQ(AcceptTransfer(&db_, clock_, c.request), c.result) << c.message;
    EXPECT_EQ(TransferMessage(c.result).View(), Cp(c.message));
    EXPECT_FALSE(TransferClosesScreen(c.result));
  }
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(KindIds(TransferDebitKindName()).empty());
}

// The fields are read to the nearest hundredth, the amount an entry stores, so the checks judge
// what is written: an amount that rounds to 0.00 is no amount, and a commission that rounds to
// the amount does not exceed it.
TEST_P(TransferTest, TypedAmountsAreCheckedAsTheHundredthsTheyStoreAs) {
  struct Case {
    const char* amount;
    const char* commission;
    TransferResult result;
  };
  const Case cases[] = {
      {"0.004", "", TransferResult::kNoAmount},
      {"0.005", "", TransferResult::kDone},
      {"10", "10.004", TransferResult::kDone},
      {"10.005", "10.01", TransferResult::kDone},
      {"10.004", "10.005", TransferResult::kCommissionOverAmount},
      {"16777215.994", "", TransferResult::kDone},
      {"16777215.995", "", TransferResult::kAmountTooLarge},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckTransfer(Request(1, 2, c.amount, c.commission)), c.result)
        << c.amount << " / " << c.commission;
  }
  ASSERT_EQ(AcceptTransfer(&db_, clock_, Request(1, 2, "1,005", "0.015")), TransferResult::kDone);
  const int32_t t = Now();
  // 1.01 is 1 × 256 + 1, 0.02 is 2.
  std::vector<std::string> expected = {std::to_string(t) + ";150309;257;256;2;;1;0;",
                                       std::to_string(t + 1) + ";150309;2;256;2;;1;0;",
                                       std::to_string(t + 2) + ";150309;257;256;1;;2;0;"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(), expected);
}

TEST_P(TransferTest, WithoutCommissionTwoEntriesAndNoCommissionKind) {
  const TransferResult result = AcceptTransfer(&db_, clock_, Request(1, 2, "1,234.50", ""));
  EXPECT_EQ(result, TransferResult::kDone);
  EXPECT_EQ(TransferMessage(result).View(), Cp("Перевод осуществлен"));
  EXPECT_TRUE(TransferClosesScreen(result));
  const int32_t t = Now();
  // 1,234.50 is 1234 × 256 + 50; count 1 is 256; 5 March 2009 is 150309.
  std::vector<std::string> expected = {std::to_string(t) + ";150309;315954;256;2;;1;0;",
                                       std::to_string(t + 1) + ";150309;315954;256;1;;2;0;"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(KindIds(TransferDebitKindName()), std::vector<int32_t>{t});
  EXPECT_EQ(KindIds(TransferCreditKindName()), std::vector<int32_t>{t + 1});
  EXPECT_TRUE(KindIds(TransferCommissionKindName()).empty());

  KindRecord credit;
  ASSERT_EQ(db_.FindKind(&credit, 0, kIncome, TransferCreditKindName()), 1);
  EXPECT_EQ(credit.category.View(), Cp("Перевод между счетами"));
  EXPECT_EQ(credit.price, 0);
  // A spending kind of that name is not the income kind.
  EXPECT_EQ(db_.FindKind(&credit, 0, kExpense, TransferCreditKindName()), 0);
}

TEST_P(TransferTest, ACommissionIsAThirdEntryAndMovesTheReceiversKindId) {
  // A typed "-" is ignored; a commission equal to the amount is allowed.
  EXPECT_EQ(AcceptTransfer(&db_, clock_, Request(2, 1, "-10.00", "10.00")), TransferResult::kDone);
  const int32_t t = Now();
  std::vector<std::string> expected = {std::to_string(t + 1) + ";150309;2560;256;2;;2;0;",
                                       std::to_string(t) + ";150309;2560;256;2;;2;0;",
                                       std::to_string(t + 2) + ";150309;2560;256;1;;1;0;"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(KindIds(TransferCommissionKindName()), std::vector<int32_t>{t + 1});
  EXPECT_EQ(KindIds(TransferCreditKindName()), std::vector<int32_t>{t + 2});
}

TEST_P(TransferTest, LaterTransfersReuseTheKindsAndBalancesAddUp) {
  ASSERT_EQ(AcceptTransfer(&db_, clock_, Request(1, 2, "100.00", "")), TransferResult::kDone);
  clock_.Advance(60);
  ASSERT_EQ(AcceptTransfer(&db_, clock_, Request(1, 2, "50.00", "1.50")), TransferResult::kDone);
  clock_.Advance(60);
  ASSERT_EQ(AcceptTransfer(&db_, clock_, Request(2, 1, "20.00", "0.50")), TransferResult::kDone);
  EXPECT_EQ(KindIds(TransferDebitKindName()).size(), 1u);
  EXPECT_EQ(KindIds(TransferCreditKindName()).size(), 1u);
  EXPECT_EQ(KindIds(TransferCommissionKindName()).size(), 1u);

  // Account 1 paid 100 + 50 + 1.50 and received 20; account 2 the other way round less 0.50.
  int64_t hundredths[3] = {0, 0, 0};
  const std::vector<std::string> entries = Entries();
  ASSERT_EQ(entries.size(), 8u);
  for (const std::string& line : entries) {
    std::vector<std::string> fields;
    for (size_t start = 0, end; (end = line.find(';', start)) != std::string::npos;
         start = end + 1) {
      fields.push_back(line.substr(start, end - start));
    }
    const int32_t price = std::stoi(fields[2]);
    const int64_t amount = (price >> 8) * 100 + (price & 255);
    hundredths[std::stoi(fields[6])] += fields[4] == "1" ? amount : -amount;
  }
  EXPECT_EQ(hundredths[1], -13150);
  EXPECT_EQ(hundredths[2], 12950);
}

TEST_P(TransferTest, KindIdsThatAreTakenAreSkipped) {
  const int32_t t = Now();
  KindRecord taken;
  taken.id = t;
  taken.name = FromUtf8("Обед");
  taken.type = kExpense;
  ASSERT_EQ(db_.AddKind(taken), 1);
  taken.id = t + 2;
  ASSERT_EQ(db_.AddKind(taken), 1);
  ASSERT_EQ(AcceptTransfer(&db_, clock_, Request(1, 2, "5.00", "1.00")), TransferResult::kDone);
  const int32_t debit = KindIds(TransferDebitKindName()).at(0);
  const int32_t fee = KindIds(TransferCommissionKindName()).at(0);
  const int32_t credit = KindIds(TransferCreditKindName()).at(0);
  EXPECT_EQ(debit, t + 1);
  EXPECT_EQ(fee, t + 3);
  EXPECT_EQ(credit, t + 4);
}

TEST_P(TransferTest, WithoutAnOpenDatabaseTheScreenClosesAndNothingIsWritten) {
  testing::TempDeviceRoot other;
  FinanceDb closed(other.env(), clock_, globals_);
  const TransferResult result = AcceptTransfer(&closed, clock_, Request(1, 2, "5.00", ""));
  EXPECT_EQ(result, TransferResult::kNoDatabase);
  EXPECT_TRUE(TransferClosesScreen(result));
  EXPECT_EQ(TransferMessage(result).Length(), 0u);
  EXPECT_EQ(AcceptTransfer(nullptr, clock_, Request(1, 2, "5.00", "")),
            TransferResult::kNoDatabase);
  // The checks still come first.
  EXPECT_EQ(AcceptTransfer(nullptr, clock_, Request(1, 1, "5.00", "")),
            TransferResult::kSameAccounts);
}

TEST_P(TransferTest, TheBoxesOfferNamedAccountsInTableOrder) {
  AccountRecord account;
  account.id = 0;
  account.name = DbString("Zero");
  ASSERT_EQ(db_.AddAccount(account), 1);
  account.id = 7;
  account.name = DbString();
  ASSERT_EQ(db_.AddAccount(account), 1);
  account.id = 9;
  account.name = FromUtf8("Вклад");
  ASSERT_EQ(db_.AddAccount(account), 1);
  const std::vector<TransferAccount> accounts = TransferAccounts(&db_);
  std::vector<int32_t> ids;
  for (const TransferAccount& a : accounts) ids.push_back(a.id);
  std::vector<int32_t> expected = {1, 2, 9};
  // The object store keeps accounts in its own order; the file database in table order.
  if (GetParam() != DriverKind::kFileDatabase) std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(InitialPayerIndex(accounts, accounts[1].id), 1);
  EXPECT_EQ(InitialPayerIndex(accounts, 7), -1);
  EXPECT_EQ(InitialPayerIndex(accounts, 0), -1);
  EXPECT_TRUE(TransferAccounts(nullptr).empty());
}

INSTANTIATE_TEST_SUITE_P(BothStorages, TransferTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

// Every disk-changing call of a transfer fails in turn: the transfer is written whole, or nothing
// of it is left — no entry, and no kind made for it — and the failure is reported. Some failures
// are overcome by the database itself (a failed open that is retried read-only); the transfer is
// then whole.
class TransferFaultTest : public ::testing::TestWithParam<DriverKind> {};

TEST_P(TransferFaultTest, ATransferIsWrittenWholeOrNotAtAll) {
  testing::TempDeviceRoot device;
  platform::FaultInjectionEnv faulty(&device.env());
  testing::FakeClock clock;
  clock.SetDate(2009, 3, 5, 10, 0);
  FinanceGlobals globals;
  globals.storage_kind = GetParam();
  int failures = 0;
  for (int n = 1;; ++n) {
    FinanceDb db(faulty, clock, globals);
    ASSERT_EQ(db.Open(kDatabaseName), 1);
    ASSERT_EQ(db.DeleteAllData(), 1);
    const std::string kinds_before(db.WriteTableSection(kKindsTable).View());
    faulty.Reset();
    faulty.FailNthMutation(n, platform::winerr::kDiskFull);
    const TransferResult result = AcceptTransfer(&db, clock, Request(1, 2, "10.00", "1.00"));
    const bool fired = faulty.InjectedCount() > 0;
    faulty.Reset();
    const std::string entries(db.WriteTableSection(kEntriesTable).View());
    const auto rows = std::count(entries.begin(), entries.end(), '\n') - 1;
    if (result == TransferResult::kDone) {
      EXPECT_EQ(rows, 3) << n;
      if (!fired) break;
      continue;
    }
    ++failures;
    EXPECT_EQ(result, TransferResult::kFailed) << n;
    EXPECT_EQ(rows, 0) << n;
    EXPECT_EQ(std::string(db.WriteTableSection(kKindsTable).View()), kinds_before) << n;
    EXPECT_FALSE(TransferClosesScreen(result));
    EXPECT_EQ(TransferMessage(result).View(), Cp("Ошибка записи: перевод не выполнен!"));
    ASSERT_LT(n, 400);
  }
  EXPECT_GE(failures, 4) << "the kinds and the entries each failed in turn";
}

INSTANTIATE_TEST_SUITE_P(BothStorages, TransferFaultTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix
