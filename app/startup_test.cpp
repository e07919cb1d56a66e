#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "platform/fault_injection_env.h"
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
  ASSERT_NE(again.settings.Bind(kSettingsName), 0);
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

// A settings file that is there but cannot be read stops the start with a message that names
// it, before anything is written: read as zeros it would switch the program to another, empty
// database.
TEST_F(StartupTest, ASettingsFileThatCannotBeReadStopsTheStart) {
  const std::string settings_host = device_.HostPath(kSettingsPath);
  struct Case {
    const char* name;
    std::function<void()> prepare;
    platform::FileOp failing_op;  // kRunAndWait: nothing injected
  } cases[] = {
      {"a folder", [&] { std::filesystem::create_directories(settings_host); },
       platform::FileOp::kRunAndWait},
      {"its folder a file",
       [&] { ASSERT_TRUE(device_.WriteHostFile(u"\\settings", "not a folder")); },
       platform::FileOp::kRunAndWait},
      {"read-only",
       [&] {
         WriteSettings("IS_SYSTEMTYPE_DB=1\r\n");
         std::filesystem::permissions(settings_host, std::filesystem::perms::owner_write,
                                      std::filesystem::perm_options::remove);
       },
       platform::FileOp::kRunAndWait},
      {"a failing read", [&] { WriteSettings("IS_SYSTEMTYPE_DB=1\r\n"); }, platform::FileOp::kRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(device_.HostPath(u"\\settings"));
    c.prepare();
    const auto before = std::filesystem::status(settings_host).type();
    auto content_now = [&] {
      return std::filesystem::is_regular_file(settings_host) ? SettingsFile() : std::string();
    };
    const std::string content = content_now();
    platform::FaultInjectionEnv faulty(&device_.env());
    if (c.failing_op != platform::FileOp::kRunAndWait) {
      faulty.FailNth(c.failing_op, 1, platform::winerr::kCrc);
    }
    AppState state(faulty);
    FinanceDb db(faulty, clock_, state.finance);
    StartupResult result = RunStartup(
        state, db, clock_, [&](const DbString& path) { return device_.HostPath(path.Wide()); });
    EXPECT_EQ(result.status, StartupStatus::kSettingsUnreadable);
    const std::string message = ToUtf8(result.message);
    EXPECT_EQ(message.rfind("Ошибка чтения файла настроек!\n" + settings_host + "\n", 0), 0u)
        << message;
    EXPECT_NE(message.find("Файл не изменён."), std::string::npos);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(std::filesystem::status(settings_host).type(), before);
    EXPECT_EQ(content_now(), content);
    EXPECT_FALSE(device_.Exists(u"\\tolvena_db"));
    EXPECT_FALSE(device_.Exists(u"\\objects.sqlite"));
    std::error_code ignored;  // only the read-only case has a file to give back its write
    std::filesystem::permissions(settings_host, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
  }
}

TEST_F(StartupTest, NumbersOutOfRangeReadAsTheirDefaults) {
  struct Case {
    const char* stored;
    int32_t account;
    int32_t page;
    DriverKind kind;
    const char* written_back;
  } cases[] = {
      {"GL_FIRM_ID=2\r\nCUR_INFO_PAGE=1\r\n", 2, 1, DriverKind::kObjectStore, "GL_FIRM_ID=2\r\n"},
      {"GL_FIRM_ID=99999999999\r\n", 0, 0, DriverKind::kObjectStore, "GL_FIRM_ID=0\r\n"},
      {"GL_FIRM_ID=-2147483649\r\n", 0, 0, DriverKind::kObjectStore, "GL_FIRM_ID=0\r\n"},
      {"CUR_INFO_PAGE=7\r\n", 0, 0, DriverKind::kObjectStore, "CUR_INFO_PAGE=0\r\n"},
      {"CUR_INFO_PAGE=99999999999\r\n", 0, 0, DriverKind::kObjectStore, "CUR_INFO_PAGE=0\r\n"},
      // A flag is any number but 0, not its low byte; one too large is its default (1).
      {"IS_SYSTEMTYPE_DB=256\r\n", 0, 0, DriverKind::kObjectStore, "IS_SYSTEMTYPE_DB=256\r\n"},
      {"IS_SYSTEMTYPE_DB=99999999999\r\n", 0, 0, DriverKind::kObjectStore,
       "IS_SYSTEMTYPE_DB=99999999999\r\n"},
      {"IS_SYSTEMTYPE_DB=0\r\n", 0, 0, DriverKind::kFileDatabase, "IS_SYSTEMTYPE_DB=0\r\n"},
  };
  for (const Case& c : cases) {
    WriteSettings(c.stored);
    ASSERT_EQ(Start().status, StartupStatus::kReady) << c.stored;
    EXPECT_EQ(state_->finance.current_account_id, c.account) << c.stored;
    EXPECT_EQ(state_->current_info_page, c.page) << c.stored;
    EXPECT_EQ(state_->finance.storage_kind, c.kind) << c.stored;
    ASSERT_EQ(WriteBackSettings(*state_), 1);
    EXPECT_NE(SettingsFile().find(c.written_back), std::string::npos) << c.stored;
  }
}

}  // namespace
}  // namespace ledgerix
