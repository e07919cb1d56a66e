#include "app/finance_app.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/startup.h"
#include "platform/instance_lock.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"
#include "ui/main_screen.h"
#include "ui/testing/scripted_screen_services.h"
#include "ui/updates_screen.h"

namespace ledgerix {
namespace {

constexpr char16_t kSettingsPath[] = u"\\settings\\tv_ledgrx.$$$";
constexpr int64_t kNow = 1700000000;

class FinanceAppTest : public ::testing::Test {
 protected:
  std::string SettingsFile() { return device_.ReadHostFile(kSettingsPath); }
  bool SettingsHold(const std::string& line) {
    return SettingsFile().find(line + "\r\n") != std::string::npos;
  }

  // One run of the program in which the person closes the main screen at once; answers the
  // exit status. `services` must expect whatever else the run shows.
  int RunClosingTheMainScreen(ScriptedScreenServices& services, platform::PosixEnv* env = nullptr) {
    services.OnNextScreen("MainDialog", [](ScreenRules&) { return kScreenCancel; });
    FinanceApp program(env != nullptr ? *env : device_.env(), clock_, services);
    return program.Run();
  }

  testing::TempDeviceRoot device_;
  testing::FakeClock clock_{kNow};
};

// The first start shows the reminder, then the main screen; data and settings last across runs,
// and the reminder waits a week.
TEST_F(FinanceAppTest, TheProgramKeepsItsDataAcrossRunsAndShowsTheReminderWeekly) {
  {
    ScriptedScreenServices services;
    services.OnNextScreenOf<UpdatesScreen>("UpdatesDialog", [](UpdatesScreen& updates) {
      updates.Start();
      return kScreenOk;
    });
    services.OnNextScreenOf<MainScreen>("MainDialog", [](MainScreen&) { return kScreenCancel; });
    FinanceApp program(device_.env(), clock_, services);
    ASSERT_EQ(program.Run(), 0);
    EXPECT_TRUE(services.messages().empty());
  }
  EXPECT_TRUE(SettingsHold("LAST_DT=1700000000"));
  EXPECT_TRUE(SettingsHold("CUR_INFO_PAGE=1"));            // the updates screen advanced it
  EXPECT_TRUE(SettingsHold("IS_SHOW_FIRM_IN_ACTIONS=0"));  // written only at an orderly end
  {
    FinanceGlobals globals;
    FinanceDb db(device_.env(), clock_, globals);
    ASSERT_EQ(db.Open(kDatabaseName), 1);
    AccountRecord added;
    added.id = 3;
    added.name = FromUtf8("Вклад");
    ASSERT_EQ(db.AddAccount(added), 1);
  }
  clock_.Advance(kReminderInterval);
  ScriptedScreenServices second;
  ASSERT_EQ(RunClosingTheMainScreen(second), 0);  // exactly a week: no reminder
  EXPECT_TRUE(SettingsHold("LAST_DT=1700000000"));
  FinanceGlobals globals;
  FinanceDb db(device_.env(), clock_, globals);
  ASSERT_EQ(db.Open(kDatabaseName), 1);
  std::vector<AccountRecord> accounts;
  ASSERT_EQ(db.LoadAccounts(&accounts), 1);
  EXPECT_EQ(accounts.size(), 3u);  // the two seeded ones are not seeded again
}

// Every way the program cannot start is one message box under the program's caption; no screen
// runs and the exit status is 1.
TEST_F(FinanceAppTest, WhatStopsTheStartIsSaidInOneBox) {
  struct Case {
    const char* name;
    std::function<void(testing::TempDeviceRoot&)> prepare;
    std::string text_start;
  };
  const Case cases[] = {
      {"second copy", [](testing::TempDeviceRoot&) {},  // the lock is held below
       "Программа уже запущена!"},
      {"database",
       [](testing::TempDeviceRoot& device) {
         // A plain file where the database folder should be.
         ASSERT_TRUE(device.WriteHostFile(u"\\tolvena_db", "not a folder"));
         ASSERT_TRUE(device.WriteHostFile(kSettingsPath, "IS_SYSTEMTYPE_DB=0\r\n"));
       },
       "Ошибка открытия базы данных!\n"},
      {"settings file",
       [](testing::TempDeviceRoot& device) {
         ASSERT_TRUE(std::filesystem::create_directories(device.HostPath(kSettingsPath)));
       },
       "Ошибка чтения файла настроек!\n"},
  };
  for (const Case& c : cases) {
    testing::TempDeviceRoot device;
    c.prepare(device);
    platform::InstanceLock other(device.host_root());
    if (std::string(c.name) == "second copy") {
      ASSERT_TRUE(other.Acquire());
    }
    ScriptedScreenServices services;
    services.AnswerNextMessage(MessageAnswer::kOk);
    FinanceApp program(device.env(), clock_, services);
    EXPECT_EQ(program.Run(), 1) << c.name;
    ASSERT_EQ(services.messages().size(), 1u) << c.name;
    EXPECT_EQ(services.messages()[0].text.rfind(c.text_start, 0), 0u)
        << c.name << ": " << services.messages()[0].text;
    EXPECT_EQ(services.messages()[0].caption, kProgramCaption) << c.name;
    EXPECT_TRUE(services.screens_run().empty()) << c.name;
  }
}

TEST_F(FinanceAppTest, ADeviceRootThatCannotBeUsedHasItsOwnMessage) {
  ASSERT_TRUE(device_.WriteHostFile(u"\\a file", "x"));
  platform::PosixEnvOptions options = device_.env().options();
  options.device_root = device_.HostPath(u"\\a file") + "/root";
  platform::PosixEnv env(options);
  ScriptedScreenServices services;
  services.AnswerNextMessage(MessageAnswer::kOk);
  FinanceApp program(env, clock_, services);
  EXPECT_EQ(program.Run(), 1);
  ASSERT_EQ(services.messages().size(), 1u);
  EXPECT_EQ(services.messages()[0].text.rfind(
                "Ошибка доступа к папке данных программы!\n" + options.device_root + "\n", 0),
            0u);
}

// A damaged database opens with the rows that read, says so once before the first screen, and is
// not reported again at the next start.
TEST_F(FinanceAppTest, ADamagedDatabaseIsReportedOnceBeforeTheScreens) {
  ASSERT_TRUE(device_.WriteHostFile(kSettingsPath, "IS_SYSTEMTYPE_DB=0\r\nLAST_DT=1699999999\r\n"));
  ScriptedScreenServices first;
  ASSERT_EQ(RunClosingTheMainScreen(first), 0);
  ASSERT_TRUE(device_.WriteHostFile(u"\\tolvena_db\\TOLVENA_Ledgerix_1.$db$", ""));

  ScriptedScreenServices damaged;
  damaged.AnswerNextMessage(MessageAnswer::kOk);
  ASSERT_EQ(RunClosingTheMainScreen(damaged), 0);
  ASSERT_EQ(damaged.messages().size(), 1u);
  EXPECT_EQ(damaged.messages()[0].text.rfind("База данных повреждена", 0), 0u)
      << damaged.messages()[0].text;
  EXPECT_NE(damaged.messages()[0].text.find(device_.HostPath(u"\\data\\damaged ")),
            std::string::npos);
  ScriptedScreenServices again;
  ASSERT_EQ(RunClosingTheMainScreen(again), 0);
  EXPECT_TRUE(again.messages().empty());
}

// Settings that cannot be written back at the end are reported, the status is 1, and the file
// keeps what it held.
TEST_F(FinanceAppTest, SettingsThatCannotBeWrittenBackAreReported) {
  ASSERT_TRUE(device_.WriteHostFile(kSettingsPath, "LAST_DT=1699999999\r\n"));
  ScriptedScreenServices first;
  ASSERT_EQ(RunClosingTheMainScreen(first), 0);
  const std::string file = device_.HostPath(kSettingsPath);
  const std::string before = SettingsFile();
  // A folder where the save writes its temporary file: the file reads, but cannot be replaced.
  ASSERT_TRUE(std::filesystem::create_directory(file + ".tmp"));
  ScriptedScreenServices services;
  services.AnswerNextMessage(MessageAnswer::kOk);
  EXPECT_EQ(RunClosingTheMainScreen(services), 1);
  ASSERT_EQ(services.messages().size(), 1u);
  EXPECT_NE(services.messages()[0].text.find("Ошибка записи файла настроек!\n" + file + "\n"),
            std::string::npos);
  EXPECT_EQ(SettingsFile(), before);
}

}  // namespace
}  // namespace ledgerix
