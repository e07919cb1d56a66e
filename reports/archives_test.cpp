// Saving and restoring archives on both storage kinds: the exact bytes of an archive, the list
// after saving and restoring, LAST_ARCHIVE outliving the program's end, and failed writes.
#include "reports/archives.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/db_value.h"
#include "platform/fault_injection_env.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

std::string Cp(const char* utf8) { return std::string(FromUtf8(utf8).View()); }

constexpr char16_t kArchive[] = u"\\data\\06.12.08 14_05.txt";

class ArchivesTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  ArchivesTest() {
    clock_.SetDate(2008, 12, 6, 14, 5, 30);
    globals_.storage_kind = GetParam();
  }

  void SetUp() override {
    ASSERT_NE(settings_.Bind("tv_ledgrx"), 0);
    settings_.DeclareDefault("LAST_ARCHIVE", DbValue(""));
    ASSERT_EQ(settings_.Save(), 1);
    ASSERT_EQ(db_.Open(kDatabaseName), 1);
    ASSERT_EQ(db_.DeleteAllData(), 1);
    KindRecord kind;
    kind.id = 3;
    kind.name = FromUtf8("Маршрутное такси");
    kind.category = FromUtf8("Проезд");
    kind.price = 15;
    kind.type = 2;
    ASSERT_EQ(db_.AddKind(kind), 1);
    EntryRecord entry;
    entry.date = 150308;
    entry.price = 15;
    entry.count = 2;
    entry.kind_id = 3;
    entry.type = 2;
    entry.account_id = 1;
    ASSERT_EQ(db_.AddEntry(entry), 1);
    AccountRecord account;
    account.id = 2;
    account.name = FromUtf8("Кредитная карта");
    ASSERT_EQ(db_.AddAccount(account), 1);
  }

  std::string Read(std::u16string_view path) { return device_.ReadHostFile(path); }
  std::string Table(const char* table) { return std::string(db_.WriteTableSection(table).View()); }
  // LAST_ARCHIVE as a fresh start of the program would read it from the settings file.
  std::string StoredLastArchive() {
    SettingsStore fresh(device_.env());
    EXPECT_NE(fresh.Bind("tv_ledgrx"), 0);
    return fresh.ReadSetting("LAST_ARCHIVE", DbValueType::Text).CStr();
  }

  testing::TempDeviceRoot device_;
  // Every file call of the database and the archives goes through it; it breaks only the calls
  // a test plans.
  platform::FaultInjectionEnv faulty_{&device_.env()};
  testing::FakeClock clock_;
  FinanceGlobals globals_;
  FinanceDb db_{faulty_, clock_, globals_};
  SettingsStore settings_{device_.env()};
  DbString last_archive_;
  ArchiveContext context_{faulty_, clock_, settings_, last_archive_, &db_};
};

TEST_P(ArchivesTest, SavingWritesTheExchangeFileUnderTheStampOfNow) {
  DbString name;
  EXPECT_EQ(SaveArchive(context_, &name), ArchiveSaveResult::kSaved);
  EXPECT_EQ(name.View(), "06.12.08 14_05.txt");
  EXPECT_EQ(Read(kArchive), Cp("[sec_consumeritems]\r\n"
                               "3;Маршрутное такси;Проезд;3840;2;0;\r\n"
                               "\r\n"
                               "[sec_data]\r\n"
                               "3;150308;3840;512;2;;1;0;\r\n"
                               "\r\n"
                               "[sec_firms]\r\n"
                               "2;Кредитная карта;;0;\r\n"));
  EXPECT_EQ(ArchiveSaveMessage(ArchiveSaveResult::kSaved).Length(), 0u);
  // The list then selects the new archive; saving does not make it the last restored one.
  ArchiveList list = FillArchiveList(device_.env(), last_archive_, name);
  ASSERT_EQ(list.items.size(), 1u);
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(list.items[0].text.View(), "06.12.08 14_05.txt");
  EXPECT_EQ(last_archive_.Length(), 0u);
  EXPECT_EQ(StoredLastArchive(), "");
}

TEST_P(ArchivesTest, SavingTwiceInOneMinuteLeavesTheSecondSave) {
  ASSERT_EQ(SaveArchive(context_, nullptr), ArchiveSaveResult::kSaved);
  ASSERT_EQ(db_.DeleteAllData(), 1);
  clock_.Advance(20);
  ASSERT_EQ(SaveArchive(context_, nullptr), ArchiveSaveResult::kSaved);
  EXPECT_EQ(Read(kArchive), "[sec_consumeritems]\r\n\r\n[sec_data]\r\n\r\n[sec_firms]\r\n");
  EXPECT_EQ(FillArchiveList(device_.env(), last_archive_, DbString()).items.size(), 1u);
}

TEST_P(ArchivesTest, RestoringBringsTheDataBackAndMarksTheArchive) {
  const std::string kinds = Table(kKindsTable);
  const std::string entries = Table(kEntriesTable);
  const std::string accounts = Table(kAccountsTable);
  DbString name;
  ASSERT_EQ(SaveArchive(context_, &name), ArchiveSaveResult::kSaved);
  ASSERT_EQ(db_.DeleteAllData(), 1);
  ASSERT_EQ(db_.SeedDefaults(), 1);

  EXPECT_EQ(RestoreQuestion(name).View(),
            Cp("Восстановить архив: 06.12.08 14_05.txt? Текущие данные будут заменены данными "
               "архива."));
  const ArchiveRestoreResult result = RestoreArchive(context_, name);
  EXPECT_EQ(result, ArchiveRestoreResult::kRestored);
  EXPECT_EQ(ArchiveRestoreMessage(result).View(), Cp("Обработка завершена!"));
  EXPECT_EQ(Table(kKindsTable), kinds);
  EXPECT_EQ(Table(kEntriesTable), entries);
  EXPECT_EQ(Table(kAccountsTable), accounts);
  EXPECT_EQ(last_archive_.View(), "06.12.08 14_05.txt");
  EXPECT_EQ(StoredLastArchive(), "06.12.08 14_05.txt");

  ArchiveList list = FillArchiveList(device_.env(), last_archive_, DbString());
  ASSERT_EQ(list.items.size(), 1u);
  EXPECT_EQ(list.selected, 0);
  EXPECT_EQ(list.items[0].text.View(), "..[06.12.08 14_05.txt]");
  EXPECT_EQ(ArchiveNameOf(list.items[0], last_archive_).View(), "06.12.08 14_05.txt");
}

// The program writes its settings back whole at an orderly end; the restored name must
// survive that.
TEST_P(ArchivesTest, TheRestoredNameOutlivesTheWriteBackAtTheEnd) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\old.txt", "[sec_firms]\r\n5;Old;;0;\r\n"));
  settings_.WriteSetting("LAST_ARCHIVE", DbValue("previous.txt"));
  ASSERT_EQ(settings_.Save(), 1);
  last_archive_ = DbString("previous.txt");
  ASSERT_EQ(RestoreArchive(context_, DbString("old.txt")), ArchiveRestoreResult::kRestored);
  // The orderly end: the five display values are written back and the store saved.
  settings_.WriteSetting("GL_FIRM_ID", DbValue(int32_t{5}));
  settings_.WriteSetting("CUR_INFO_PAGE", DbValue(int32_t{1}));
  ASSERT_EQ(settings_.Save(), 1);
  EXPECT_EQ(StoredLastArchive(), "old.txt");
}

TEST_P(ArchivesTest, AnArchiveWithoutAccountsKeepsTheAccounts) {
  const std::string accounts = Table(kAccountsTable);
  ASSERT_TRUE(device_.WriteHostFile(
      u"\\data\\part.txt", Cp("[sec_consumeritems]\r\n7;Кино;Развлечения;89600;2;0;\r\n\r\n"
                              "[sec_data]\r\n7;110109;89600;256;2;;2;0;\r\n")));
  ASSERT_EQ(RestoreArchive(context_, DbString("part.txt")), ArchiveRestoreResult::kRestored);
  EXPECT_EQ(Table(kAccountsTable), accounts);
  EXPECT_EQ(Table(kKindsTable), Cp("[sec_consumeritems]\r\n7;Кино;Развлечения;89600;2;0;\r\n"));
  EXPECT_EQ(Table(kEntriesTable), "[sec_data]\r\n7;110109;89600;256;2;;2;0;\r\n");
}

TEST_P(ArchivesTest, AnArchiveThatCannotBeReadChangesNothingAndIsReported) {
  const std::string kinds = Table(kKindsTable);
  last_archive_ = DbString("previous.txt");
  const ArchiveRestoreResult result = RestoreArchive(context_, DbString("missing.txt"));
  EXPECT_EQ(result, ArchiveRestoreResult::kFailed);
  EXPECT_EQ(ArchiveRestoreMessage(result).View(), Cp("Ошибка восстановления архива!"));
  EXPECT_EQ(Table(kKindsTable), kinds);
  EXPECT_EQ(last_archive_.View(), "previous.txt");
  EXPECT_EQ(StoredLastArchive(), "");
  EXPECT_EQ(RestoreArchive(context_, DbString()), ArchiveRestoreResult::kFailed);
}

TEST_P(ArchivesTest, AnArchiveWithARowThatCannotBeStoredLeavesEveryTableAsItWas) {
  const std::string kinds = Table(kKindsTable);
  const std::string entries = Table(kEntriesTable);
  const std::string accounts = Table(kAccountsTable);
  // The second entry's note is longer than an entry can hold: the kinds and the first entry
  // would already be replaced when it is refused.
  ASSERT_TRUE(device_.WriteHostFile(
      u"\\data\\bad.txt",
      Cp("[sec_consumeritems]\r\n7;Кино;Развлечения;89600;2;0;\r\n\r\n[sec_data]\r\n"
         "7;110109;89600;256;2;;2;0;\r\n7;110109;89600;256;2;") +
          std::string(200, 'x') + ";2;0;\r\n\r\n[sec_firms]\r\n9;A;;0;\r\n"));
  last_archive_ = DbString("previous.txt");
  EXPECT_EQ(RestoreArchive(context_, DbString("bad.txt")), ArchiveRestoreResult::kFailed);
  EXPECT_EQ(Table(kKindsTable), kinds);
  EXPECT_EQ(Table(kEntriesTable), entries);
  EXPECT_EQ(Table(kAccountsTable), accounts);
  EXPECT_EQ(last_archive_.View(), "previous.txt");
}

// A table that cannot be emptied fails the restore as a whole, and the archive is not named the
// last one restored (the restore used to skip that table's section and answer 1).
TEST_P(ArchivesTest, ATableThatCannotBeEmptiedFailsTheRestoreAndNamesNoArchive) {
  const std::string kinds = Table(kKindsTable);
  const std::string accounts = Table(kAccountsTable);
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\other.txt",
                                    Cp("[sec_consumeritems]\r\n7;Кино;Развлечения;89600;2;0;"
                                       "\r\n\r\n[sec_firms]\r\n9;A;;0;\r\n")));
  last_archive_ = DbString("previous.txt");
  faulty_.Reset();
  if (GetParam() == DriverKind::kFileDatabase) {
    faulty_.FailNth(platform::FileOp::kSetEndOfFile, 1, platform::winerr::kWriteFault);
  } else {
    // The store writes the emptied and refilled tables at the commit.
    faulty_.FailNth(platform::FileOp::kWrite, 1, platform::winerr::kWriteFault);
  }
  EXPECT_EQ(RestoreArchive(context_, DbString("other.txt")), ArchiveRestoreResult::kFailed);
  EXPECT_EQ(faulty_.InjectedCount(), 1);
  EXPECT_EQ(Table(kKindsTable), kinds);
  EXPECT_EQ(Table(kAccountsTable), accounts);
  EXPECT_EQ(last_archive_.View(), "previous.txt");
  EXPECT_EQ(StoredLastArchive(), "");
}

TEST_P(ArchivesTest, WithoutAnOpenDatabaseNothingIsSavedOrRestored) {
  testing::TempDeviceRoot other;
  FinanceDb closed(other.env(), clock_, globals_);
  ArchiveContext context{device_.env(), clock_, settings_, last_archive_, &closed};
  EXPECT_EQ(SaveArchive(context, nullptr), ArchiveSaveResult::kNoDatabase);
  EXPECT_FALSE(device_.Exists(kArchive));
  EXPECT_EQ(ArchiveSaveMessage(ArchiveSaveResult::kNoDatabase).Length(), 0u);
  ASSERT_TRUE(device_.WriteHostFile(u"\\data\\a.txt", "[sec_firms]\r\n"));
  EXPECT_EQ(RestoreArchive(context, DbString("a.txt")), ArchiveRestoreResult::kFailed);
  context.finance = nullptr;
  EXPECT_EQ(SaveArchive(context, nullptr), ArchiveSaveResult::kNoDatabase);
}

// Every disk-changing call of a save fails in turn: an older archive of that name stays whole,
// no temporary file is left, and the failure is reported.
TEST_P(ArchivesTest, AFailedSaveLeavesTheOlderArchiveWholeAndIsReported) {
  const std::string old_content = "[sec_firms]\r\n9;Old;;0;\r\n";
  ASSERT_TRUE(device_.WriteHostFile(kArchive, old_content));
  int failures = 0;
  for (int n = 1;; ++n) {
    faulty_.Reset();
    faulty_.FailNthMutation(n, platform::winerr::kDiskFull);
    const ArchiveSaveResult result = SaveArchive(context_, nullptr);
    const bool fired = faulty_.InjectedCount() > 0;
    faulty_.Reset();
    EXPECT_FALSE(device_.Exists(u"\\data\\06.12.08 14_05.txt.tmp")) << n;
    if (result == ArchiveSaveResult::kSaved) {
      EXPECT_NE(Read(kArchive), old_content);
      if (!fired) break;
      // Only the making of the folder, which exists, failed.
      ASSERT_TRUE(device_.WriteHostFile(kArchive, old_content));
    } else {
      ++failures;
      EXPECT_EQ(result, ArchiveSaveResult::kFailed) << n;
      EXPECT_EQ(Read(kArchive), old_content) << n;
    }
    ASSERT_LT(n, 50);
  }
  EXPECT_GE(failures, 4);  // the open, the write, the sync and the rename at least
  EXPECT_EQ(ArchiveSaveMessage(ArchiveSaveResult::kFailed).View(),
            Cp("Не удалось сохранить архив!"));
}

INSTANTIATE_TEST_SUITE_P(BothStorages, ArchivesTest, testing::BothStorageKinds(),
                         testing::StorageKindName);

}  // namespace
}  // namespace ledgerix
