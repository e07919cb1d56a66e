// The exchange file: exact bytes, reading back, partial and odd files, safe rewriting.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "access/db_connection.h"
#include "finance/record_access.h"
#include "finance/testing/finance_test_support.h"
#include "platform/fault_injection_env.h"
#include "testing/device_snapshot.h"
#include "testing/stopping_env.h"

namespace ledgerix::testing {
namespace {

constexpr char16_t kFile[] = u"\\data\\archive.txt";

// The seeded database as the file holds it (UTF-8 here, Windows-1251 on disk).
constexpr char kSeededFile[] =
    "[sec_consumeritems]\r\n"
    "1;Бензин;Машина;51200;2;0;\r\n"
    "2;Такси;Проезд;38400;2;0;\r\n"
    "3;Маршрутное такси;Проезд;3840;2;0;\r\n"
    "4;Кино;Развлечения;89600;2;0;\r\n"
    "5;Премия;Основной доход;896000;1;0;\r\n"
    "\r\n"
    "[sec_data]\r\n"
    "\r\n"
    "[sec_firms]\r\n"
    "1;Наличные;;0;\r\n"
    "2;Кредитная карта;;0;\r\n";

class ExchangeFileTest : public FinanceDbTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(OpenDatabase(), 1);
    ASSERT_TRUE(root_.WriteHostFile(u"\\data\\keep", ""));
  }

  int ReadText(const std::string& utf8) {
    EXPECT_TRUE(root_.WriteHostFile(kFile, std::string(FromUtf8(utf8).View())));
    return db_->ReadExchangeFile(DbString(kFile));
  }
};

TEST_P(ExchangeFileTest, TheSeededDatabaseIsWrittenByteForByte) {
  ASSERT_EQ(db_->WriteExchangeFile(DbString(kFile)), 1);
  EXPECT_EQ(FileText(kFile), kSeededFile);
  EXPECT_FALSE(root_.Exists(u"\\data\\archive.txt.tmp"));
}

TEST_P(ExchangeFileTest, ReadingBackIntoAnEmptyDatabaseAndWritingAgainGivesTheSameBytes) {
  ASSERT_EQ(db_->AddEntry(MakeEntry(3, 150308, 15, 2, 2, 1)), 1);
  ASSERT_EQ(db_->AddEntry(MakeEntry(1, 411209, 0.99, 12.5, 112, 2, "заметка")), 1);
  ASSERT_EQ(db_->WriteExchangeFile(DbString(kFile)), 1);
  std::string first = root_.ReadHostFile(kFile);
  ASSERT_EQ(db_->DeleteAllData(), 1);
  ASSERT_TRUE(TableLines(*db_, kKindsTable).empty());
  ASSERT_EQ(db_->ReadExchangeFile(DbString(kFile)), 1);
  ASSERT_EQ(db_->WriteExchangeFile(DbString(u"\\data\\again.txt")), 1);
  EXPECT_EQ(root_.ReadHostFile(u"\\data\\again.txt"), first);
  EXPECT_NE(first.find(std::string(FromUtf8("1;411209;99;3122;112;заметка;2;0;").View())),
            std::string::npos);
}

TEST_P(ExchangeFileTest, ReadingBackKeepsEveryRowOfAKindWithManyEntries) {
  // The file database places a row among rows of the same kind where its binary search meets
  // one of them, so their order may change; none may be lost or doubled.
  for (int day = 1; day <= 9; ++day) {
    ASSERT_EQ(db_->AddEntry(MakeEntry(1, (10 + day) * 10000 + 308, day, 1, 2, 1)), 1);
  }
  ASSERT_EQ(db_->AddEntry(MakeEntry(2, 150308, 1, 1, 2, 1)), 1);
  std::vector<std::string> before = TableLines(*db_, kEntriesTable);
  ASSERT_EQ(db_->WriteExchangeFile(DbString(kFile)), 1);
  ASSERT_EQ(db_->ReadExchangeFile(DbString(kFile)), 1);
  std::vector<std::string> after = TableLines(*db_, kEntriesTable);
  EXPECT_EQ(after.back(), "2;150308;256;256;2;;1;0;");
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
}

// Reading loads each section in bulk; the tables must end exactly as adding the file's rows one
// by one leaves them, down to the order among entries of one kind (which the file database
// decides by where its search meets an equal row).
TEST_P(ExchangeFileTest, ReadingStoresWhatAddingTheRowsOneByOneStores) {
  std::vector<std::vector<int32_t>> rows;
  std::string text = "[sec_consumeritems]\r\n";
  for (int32_t kind = 1; kind <= 12; ++kind)
    text += std::to_string(kind) + ";Вид;Категория;0;2;0;\r\n";
  text += "\r\n[sec_data]\r\n";
  for (int32_t i = 0; i < 1500; ++i) {
    // In kind order as archives are, with a few rows out of order.
    const int32_t kind = i % 50 == 7 ? 1 + i % 12 : 1 + i * 12 / 1500;
    rows.push_back({kind, 110110 + i % 28 * 10000, 256 * i, 256, 2, 1 + i % 3, 0});
    text += std::to_string(kind) + ";" + std::to_string(rows.back()[1]) + ";" +
            std::to_string(rows.back()[2]) + ";256;2;;" + std::to_string(rows.back()[5]) +
            ";0;\r\n";
  }
  ASSERT_EQ(ReadText(text), 1);

  TempDeviceRoot other_root;
  FinanceDb other(other_root.env(), clock_, globals_);
  ASSERT_EQ(other.Open(kDatabaseName), 1);
  ASSERT_EQ(other.DeleteAllData(), 1);
  std::unique_ptr<DbRecordSet> kinds = OpenTableRecordSet(other.Connection(), kKindsTable);
  for (int32_t kind = 1; kind <= 12; ++kind) {
    ASSERT_EQ(kinds->AddNew(), 1);
    DbRecord* record = kinds->CurrentRecord(-1);
    record->FieldByIndex(0)->SetInt32(kind);
    record->FieldByIndex(1)->SetText(FromUtf8("Вид"));
    record->FieldByIndex(2)->SetText(FromUtf8("Категория"));
    record->FieldByIndex(4)->SetInt32(2);
    ASSERT_EQ(kinds->Update(), 1);
  }
  std::unique_ptr<DbRecordSet> entries = OpenTableRecordSet(other.Connection(), kEntriesTable);
  // One transaction: the same rows added one by one, synced once.
  ASSERT_EQ(other.Connection()->BeginTransaction(), 1);
  for (const std::vector<int32_t>& row : rows) {
    ASSERT_EQ(entries->AddNew(), 1);
    DbRecord* record = entries->CurrentRecord(-1);
    for (uint32_t k = 0; k < 5; ++k) record->FieldByIndex(k)->SetInt32(row[k]);
    record->FieldByIndex(5)->SetText("");
    record->FieldByIndex(6)->SetInt32(row[5]);
    record->FieldByIndex(7)->SetInt32(row[6]);
    ASSERT_EQ(entries->Update(), 1);
  }
  kinds.reset();
  entries.reset();
  ASSERT_EQ(other.Connection()->CommitTransaction(), 1);
  for (const char* table : {kKindsTable, kEntriesTable}) {
    EXPECT_EQ(TableLines(*db_, table), TableLines(other, table)) << table;
  }
  EXPECT_EQ(TableLines(*db_, kAccountsTable).size(), 2u) << "no section, so the rows stay";
}

// The three tables as exchange lines.
struct Tables {
  std::vector<std::string> kinds, entries, accounts;
  bool operator==(const Tables&) const = default;
};

Tables ReadTables(FinanceDb& db) {
  return {TableLines(db, kKindsTable), TableLines(db, kEntriesTable),
          TableLines(db, kAccountsTable)};
}

// A restore with the n-th disk change failing, the n-th write cut short, or the program killed
// at its n-th disk change, n = 1, 2, ... until it runs through: whatever it answered, the
// database as the next start opens it holds the old tables (after 0 or a kill) or exactly the
// archive's (after 1), never a mix.
TEST_P(ExchangeFileTest, AFailureAnywhereInARestoreLeavesTheOldTablesOrTheNew) {
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(db_->AddEntry(MakeEntry(1 + i % 5, 150308 + i % 28 * 10000, i, 1, 2, 1)), 1);
  }
  const Tables before = ReadTables(*db_);
  // Every table of the archive differs, the entries only in their last row.
  std::string archive = "[sec_consumeritems]\r\n7;Вид;Категория;0;2;0;\r\n\r\n[sec_data]\r\n";
  for (const std::string& line : before.entries) archive += line + "\r\n";
  archive += "7;150308;256;256;2;новая;1;0;\r\n\r\n[sec_firms]\r\n9;Девять;;0;\r\n";
  ASSERT_TRUE(root_.WriteHostFile(kFile, std::string(FromUtf8(archive).View())));
  db_.reset();
  // The device's files, to start every run from.
  DeviceSnapshot snapshot(root_);
  ASSERT_EQ(OpenDatabase(), 1);
  ASSERT_EQ(db_->RestoreExchangeFile(DbString(kFile)), 1);
  const Tables after = ReadTables(*db_);
  ASSERT_NE(after, before);
  db_.reset();

  enum class Fault { kFailedChange, kShortWrite, kKill };
  for (const Fault fault : {Fault::kFailedChange, Fault::kShortWrite, Fault::kKill}) {
    SCOPED_TRACE(fault == Fault::kKill         ? "killed"
                 : fault == Fault::kShortWrite ? "a write cut short"
                                               : "a disk change failing");
    int failures = 0;
    // Kills at every fourth change: the table journal's own test stops at every one.
    const int step = fault == Fault::kKill ? 4 : 1;
    for (int n = 1;; n += step) {
      ASSERT_LT(n, 400) << "the restore never ran through";
      ASSERT_TRUE(snapshot.Restore());
      int result = 0;
      bool injected = false;
      {
        // Killed: the disk stays as it is at the n-th change from the program's start on.
        std::optional<platform::FaultInjectionEnv> faulty;
        std::optional<StoppingEnv> stopping;
        if (fault == Fault::kKill) {
          stopping.emplace(&root_.env(), n);
        } else {
          faulty.emplace(&root_.env());
        }
        platform::Env& env = stopping ? static_cast<platform::Env&>(*stopping) : *faulty;
        {
          FinanceDb db(env, clock_, globals_);
          const bool opened = db.Open(kDatabaseName) == 1;
          ASSERT_TRUE(opened || fault == Fault::kKill) << "n = " << n;
          if (faulty) faulty->Reset();
          if (fault == Fault::kShortWrite) faulty->ShortWriteNth(n);
          if (fault == Fault::kFailedChange) {
            faulty->FailNthMutation(n, platform::winerr::kDiskFull);
          }
          result = opened ? db.RestoreExchangeFile(DbString(kFile)) : 0;
        }
        injected = stopping ? stopping->stopped() : faulty->InjectedCount() > 0;
      }
      root_.env().CloseObjectStore();
      ASSERT_EQ(OpenDatabase(), 1) << "n = " << n;  // as the next start opens it
      const Tables now = ReadTables(*db_);
      db_.reset();
      if (!injected) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(now, after);
        break;
      }
      EXPECT_EQ(now, result == 1 ? after : before) << "n = " << n << ", answered " << result;
      if (result == 0) ++failures;
    }
    EXPECT_GT(failures, 0) << "no failure made the restore fail";
  }
}

// A table that cannot be emptied cannot take the file's rows: the restore fails as a whole
// (it used to skip that section and answer 1, and the archive was then named the last one
// restored).
TEST_P(ExchangeFileTest, ATableThatCannotBeEmptiedFailsTheRestore) {
  const std::vector<std::string> kinds = TableLines(*db_, kKindsTable);
  const std::vector<std::string> accounts = TableLines(*db_, kAccountsTable);
  db_.reset();
  ASSERT_TRUE(root_.WriteHostFile(kFile, std::string(FromUtf8("[sec_firms]\r\n"
                                                              "9;Девять;;0;\r\n"
                                                              "[sec_consumeritems]\r\n"
                                                              "7;Вид;Категория;0;2;0;\r\n")
                                                         .View())));
  platform::FaultInjectionEnv faulty(&root_.env());
  FinanceDb db(faulty, clock_, globals_);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  if (GetParam() == DriverKind::kFileDatabase) {
    // The second table emptied, the kinds, keeps its rows.
    faulty.FailNth(platform::FileOp::kSetEndOfFile, 2, platform::winerr::kWriteFault);
  } else {
    // The store writes the emptied and refilled tables at the commit.
    faulty.FailNth(platform::FileOp::kWrite, 1, platform::winerr::kWriteFault);
  }
  EXPECT_EQ(db.RestoreExchangeFile(DbString(kFile)), 0);
  EXPECT_EQ(faulty.InjectedCount(), 1);
  EXPECT_EQ(TableLines(db, kKindsTable), kinds);
  EXPECT_EQ(TableLines(db, kAccountsTable), accounts) << "the first section is taken back";
}

TEST_P(ExchangeFileTest, TheExampleLinesLoadAsTheirRows) {
  ASSERT_EQ(ReadText("[sec_data]\r\n3;150308;3840;512;2;;1;0;\r\n"
                     "[sec_firms]\r\n2;Кредитная карта;;0;\r\n"),
            1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"3;150308;3840;512;2;;1;0;"}));
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (std::vector<std::string>{"2;Кредитная карта;;0;"}));
  // Kinds had no section and stay as they were.
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
}

TEST_P(ExchangeFileTest, LineFeedsAloneLoadTheSameRows) {
  ASSERT_EQ(ReadText("[sec_firms]\n7;Семь;;0;\n8;Восемь;x;0;\n"), 1);
  EXPECT_EQ(TableLines(*db_, kAccountsTable),
            (std::vector<std::string>{"7;Семь;;0;", "8;Восемь;x;0;"}));
}

TEST_P(ExchangeFileTest, ASectionOfAnUnknownTableIsSkipped) {
  ASSERT_EQ(ReadText("[sec_other]\r\n1;2;3;\r\n\r\n[sec_firms]\r\n9;Девять;;0;\r\n"), 1);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (std::vector<std::string>{"9;Девять;;0;"}));
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
}

TEST_P(ExchangeFileTest, FewerValuesFillTheFirstColumnsAndMoreAreIgnored) {
  ASSERT_EQ(ReadText("[sec_data]\r\n3;150308;3840;512;2;\r\n"
                     "4;160308;256;256;1;n;2;0;extra;99;\r\n"),
            1);
  EXPECT_EQ(TableLines(*db_, kEntriesTable),
            (std::vector<std::string>{"3;150308;3840;512;2;;0;0;", "4;160308;256;256;1;n;2;0;"}));
}

TEST_P(ExchangeFileTest, IntegerValuesReadAsSignedDigitsUpToTheFirstOtherByte) {
  ASSERT_EQ(ReadText("[sec_firms]\r\n+5;a;;-3;\r\n12ab;b;;x;\r\n"), 1);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), (std::vector<std::string>{"5;a;;-3;", "12;b;;0;"}));
}

TEST_P(ExchangeFileTest, AMissingFileChangesNothing) {
  EXPECT_EQ(db_->ReadExchangeFile(DbString(u"\\data\\none.txt")), 0);
  EXPECT_EQ(TableLines(*db_, kKindsTable).size(), 5u);
}

TEST_P(ExchangeFileTest, ARowLongerThanASlotIsRefusedOnBothDrivers) {
  // The file database keeps 62 characters of account name and note together; the object store
  // could take more, but then its archive would not restore on the file database.
  std::string fits = "1;" + std::string(62, 'a') + ";;0;\r\n";
  std::string too_long = "2;" + std::string(40, 'b') + ";" + std::string(23, 'c') + ";0;\r\n";
  const std::vector<std::string> accounts = TableLines(*db_, kAccountsTable);
  EXPECT_EQ(ReadText("[sec_firms]\r\n" + fits + too_long), 0);
  EXPECT_EQ(TableLines(*db_, kAccountsTable), accounts) << "all or nothing";
  EXPECT_EQ(ReadText("[sec_firms]\r\n" + fits), 1);
  EXPECT_EQ(TableLines(*db_, kAccountsTable),
            (std::vector<std::string>{"1;" + std::string(62, 'a') + ";;0;"}));
}

TEST_P(ExchangeFileTest, AFailedWriteLeavesTheOlderFileWhole) {
  ASSERT_EQ(db_->WriteExchangeFile(DbString(kFile)), 1);
  std::string older = root_.ReadHostFile(kFile);
  platform::FaultInjectionEnv faulty(&root_.env());
  FinanceDb db(faulty, clock_, globals_);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  ASSERT_EQ(db.AddEntry(MakeEntry(3, 150308, 15, 2, 2, 1)), 1);
  for (int failure = 0; failure < 3; ++failure) {
    faulty.Reset();
    if (failure == 0) faulty.ShortWriteNth(1);
    if (failure == 1) faulty.FailNth(platform::FileOp::kSync, 1, platform::winerr::kWriteFault);
    if (failure == 2) {
      faulty.FailNth(platform::FileOp::kRename, 1, platform::winerr::kAccessDenied);
    }
    EXPECT_EQ(db.WriteExchangeFile(DbString(kFile)), 0) << failure;
    EXPECT_EQ(root_.ReadHostFile(kFile), older) << failure;
    EXPECT_FALSE(root_.Exists(u"\\data\\archive.txt.tmp")) << failure;
  }
  faulty.Reset();
  EXPECT_EQ(db.WriteExchangeFile(DbString(kFile)), 1);
  EXPECT_NE(root_.ReadHostFile(kFile), older);
}

TEST_P(ExchangeFileTest, NothingIsWrittenOrReadBeforeOpen) {
  FinanceDb closed(root_.env(), clock_, globals_);
  EXPECT_EQ(closed.WriteExchangeFile(DbString(kFile)), 0);
  EXPECT_EQ(closed.ReadExchangeFile(DbString(kFile)), 0);
  EXPECT_EQ(closed.WriteTableSection(kKindsTable).Length(), 0u);
  EXPECT_FALSE(root_.Exists(kFile));
}

INSTANTIATE_TEST_SUITE_P(Drivers, ExchangeFileTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
