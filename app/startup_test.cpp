#include "app/startup.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/console_program.h"
#include "platform/instance_lock.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

constexpr char16_t kSettingsPath[] = u"\\settings\\tv_ledgrx.$$$";
constexpr int64_t kNow = 1700000000;

class StartupTest : public ::testing::Test {
 protected:
  // Stores settings as a previous run would have left them.
  void WriteSettings(const std::string& lines) {
    ASSERT_TRUE(device_.WriteHostFile(kSettingsPath, lines));
  }
  std::string SettingsFile() { return device_.ReadHostFile(kSettingsPath); }

  StartupResult Start() {
    state_ = std::make_unique<AppState>(device_.env());
    db_ = std::make_unique<FinanceDb>(device_.env(), clock_, state_->finance);
    return RunStartup(*state_, *db_, clock_);
  }

  testing::TempDeviceRoot device_;
  testing::FakeClock clock_{kNow};
  std::unique_ptr<AppState> state_;
  std::unique_ptr<FinanceDb> db_;
};

TEST_F(StartupTest, FirstStartDeclaresEverySettingAndShowsTheReminder) {
  StartupResult result = Start();
  ASSERT_EQ(result.status, StartupStatus::kReady);
  EXPECT_TRUE(result.show_updates_reminder);
  EXPECT_EQ(state_->finance.storage_kind, DriverKind::kObjectStore);
  EXPECT_EQ(ToUtf8(state_->current_account_name), "<<Любой>>");
  EXPECT_EQ(SettingsFile(),
            "IS_SYSTEMTYPE_DB=1\r\nLAST_ARCHIVE=\r\nLAST_DT=1700000000\r\nPERIOD_DT_FROM=\r\n"
            "PERIOD_DT_TILL=\r\nPERIOD_TYPE=0\r\nREPORT_TYPE=0\r\nREPORT_GROUP_TYPE=0\r\n"
            "CHECK_DEBIT_SUM=0\r\nCHECK_CREDIT_SUM=0\r\nGL_FIRM_ID=0\r\n"
            "IS_SHOW_FIRM_IN_REPORT=0\r\nDEFAULT_REPORT_FIRM_ID=0\r\nREPORT_COLUMN_WIDTH=\r\n"
            "CUR_INFO_PAGE=0\r\n");
}

TEST_F(StartupTest, StoredSettingsChooseTheDriverAndTheDisplay) {
  struct Case {
    const char* stored;
    DriverKind kind;
  } cases[] = {{"0", DriverKind::kFileDatabase},
               {"abc", DriverKind::kFileDatabase},
               {"", DriverKind::kFileDatabase},
               {"1", DriverKind::kObjectStore},
               {"5", DriverKind::kObjectStore}};
  for (const Case& c : cases) {
    WriteSettings(std::string("IS_SYSTEMTYPE_DB=") + c.stored +
                  "\r\nGL_FIRM_ID=2\r\nIS_SHOW_FIRM_IN_REPORT=1\r\nIS_SHOW_FIRM_IN_ACTIONS=1\r\n"
                  "REPORT_COLUMN_WIDTH=60,96,\r\nCUR_INFO_PAGE=2\r\nLAST_ARCHIVE=a.txt\r\n");
    ASSERT_EQ(Start().status, StartupStatus::kReady) << c.stored;
    EXPECT_EQ(state_->finance.storage_kind, c.kind) << c.stored;
    EXPECT_EQ(state_->finance.current_account_id, 2);
    EXPECT_EQ(state_->show_account_in_report, 1);
    EXPECT_EQ(state_->finance.show_account_in_actions, 1);
    EXPECT_EQ(state_->report_column_widths.View(), "60,96,");
    EXPECT_EQ(state_->current_info_page, 2);
    EXPECT_EQ(state_->last_archive_name.View(), "a.txt");
    EXPECT_EQ(ToUtf8(state_->current_account_name), "Кредитная карта");
  }
}

TEST_F(StartupTest, TheReminderComesBackAfterMoreThanSevenDays) {
  struct Case {
    int64_t last;
    bool due;
  } cases[] = {{kNow - 604800, false}, {kNow - 604801, true}, {kNow + 1000, false},
               {kNow, true},           {kNow - 1, false},     {0, true}};
  for (const Case& c : cases) {
    WriteSettings("IS_SYSTEMTYPE_DB=0\r\nLAST_DT=" + std::to_string(c.last) + "\r\n");
    ASSERT_EQ(Start().status, StartupStatus::kReady);
    EXPECT_EQ(DecideUpdatesReminder(*state_, clock_), c.due) << c.last;
    int32_t recorded = state_->settings.ReadSetting("LAST_DT", DbValueType::Int32).AsInt32();
    EXPECT_EQ(recorded, c.due ? kNow : c.last) << c.last;
  }
}

TEST_F(StartupTest, AVanishedCurrentAccountKeepsItsIdAndAnEmptyName) {
  WriteSettings("IS_SYSTEMTYPE_DB=0\r\nGL_FIRM_ID=77\r\n");
  ASSERT_EQ(Start().status, StartupStatus::kReady);
  EXPECT_EQ(state_->current_account_name.Length(), 0u);
  ASSERT_EQ(WriteBackSettings(*state_), 1);
  EXPECT_NE(SettingsFile().find("GL_FIRM_ID=77\r\n"), std::string::npos);
}

TEST_F(StartupTest, TheOrderlyEndWritesBackWhatTheScreensChanged) {
  WriteSettings("IS_SYSTEMTYPE_DB=0\r\n");
  ASSERT_EQ(Start().status, StartupStatus::kReady);
  state_->finance.current_account_id = 1;
  state_->show_account_in_report = 1;
  state_->finance.show_account_in_actions = 1;
  state_->report_column_widths = DbString("60,96,48,");
  state_->current_info_page = 1;
  state_->last_archive_name = DbString("07.12.26 10_00.txt");
  ASSERT_EQ(WriteBackSettings(*state_), 1);

  AppState again(device_.env());
  again.settings.Bind(kSettingsName);
  ReadStartupSettings(again);
  EXPECT_EQ(again.finance.current_account_id, 1);
  EXPECT_EQ(again.show_account_in_report, 1);
  EXPECT_EQ(again.finance.show_account_in_actions, 1);
  EXPECT_EQ(again.report_column_widths.View(), "60,96,48,");
  EXPECT_EQ(again.current_info_page, 1);
  EXPECT_EQ(again.last_archive_name.View(), "07.12.26 10_00.txt");
}

TEST_F(StartupTest, ADatabaseThatCannotOpenEndsWithTheSettingsSaved) {
  // A plain file where the database folder should be: the file database cannot be created.
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db", "not a folder"));
  WriteSettings("IS_SYSTEMTYPE_DB=0\r\n");
  StartupResult result = Start();
  EXPECT_EQ(result.status, StartupStatus::kDatabaseFailed);
  EXPECT_FALSE(result.show_updates_reminder);
  EXPECT_NE(SettingsFile().find("CUR_INFO_PAGE=0\r\n"), std::string::npos);
  EXPECT_EQ(SettingsFile().find("LAST_DT=1"), std::string::npos);
}

TEST_F(StartupTest, TheProgramKeepsItsDataAcrossRunsAndRefusesASecondCopy) {
  std::ostringstream first;
  ASSERT_EQ(RunConsoleProgram(device_.env(), clock_, first), 0);
  EXPECT_NE(first.str().find("updates reminder: shown"), std::string::npos);
  EXPECT_NE(first.str().find("<<Любой>>"), std::string::npos);

  {
    FinanceGlobals globals;
    FinanceDb db(device_.env(), clock_, globals);
    ASSERT_EQ(db.Open(kDatabaseName), 1);
    AccountRecord added;
    added.id = 3;
    added.name = FromUtf8("Вклад");
    ASSERT_EQ(db.AddAccount(added), 1);
  }
  clock_.Advance(60);
  std::ostringstream second;
  ASSERT_EQ(RunConsoleProgram(device_.env(), clock_, second), 0);
  EXPECT_NE(second.str().find("updates reminder: not due"), std::string::npos);
  EXPECT_NE(SettingsFile().find("LAST_DT=1700000000\r\n"), std::string::npos);
  EXPECT_NE(SettingsFile().find("CUR_INFO_PAGE=1\r\n"), std::string::npos);
  {
    FinanceGlobals globals;
    FinanceDb db(device_.env(), clock_, globals);
    ASSERT_EQ(db.Open(kDatabaseName), 1);
    AccountRecord found;
    EXPECT_EQ(db.FindAccount(&found, 3, DbString()), 1);
    std::vector<AccountRecord> accounts;
    db.LoadAccounts(&accounts);
    EXPECT_EQ(accounts.size(), 3u);  // the two seeded ones are not seeded again
  }

  platform::InstanceLock other(device_.host_root());
  ASSERT_TRUE(other.Acquire());
  std::ostringstream refused;
  EXPECT_EQ(RunConsoleProgram(device_.env(), clock_, refused), 1);
  EXPECT_EQ(refused.str(), "Ошибка открытия базы данных!\n");
}

}  // namespace
}  // namespace ledgerix
