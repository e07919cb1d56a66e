// The built `ledgerix` as a person's desktop starts it: its own process on the offscreen
// platform, over a device root of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/instance_lock.h"
#include "testing/temp_device_root.h"

extern char** environ;

namespace ledgerix {
namespace {

namespace fs = std::filesystem;

// One started program: its process id and the files that take its output.
struct Started {
  pid_t pid = -1;
  std::string out_file;
  std::string err_file;
};

class ProgramProcessTest : public ::testing::Test {
 protected:
  ProgramProcessTest() : base_(fs::path(device_.host_root()).parent_path()) {
    // The program finds its device root at $XDG_DATA_HOME/ledgerix.
    fs::create_directories(base_ / "xdg");
    fs::create_directories(device_.host_root());
    fs::create_directory_symlink(device_.host_root(), base_ / "xdg" / "ledgerix");
  }

  // The environment of a desktop session without a display server: the offscreen platform when
  // `offscreen`, no display at all otherwise.
  std::vector<std::string> Environment(bool offscreen) const {
    std::vector<std::string> env = {"XDG_DATA_HOME=" + (base_ / "xdg").string(),
                                    "HOME=" + (base_ / "home").string(), "LANG=C.UTF-8"};
    // The sanitizer build's settings reach the program too.
    for (const char* name : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
      if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    if (offscreen) env.push_back("QT_QPA_PLATFORM=offscreen");
    return env;
  }

  Started Start(const std::vector<std::string>& arguments, bool offscreen = true) {
    Started started;
    const std::string name = std::to_string(++runs_);
    started.out_file = (base_ / ("out" + name)).string();
    started.err_file = (base_ / ("err" + name)).string();
    std::vector<std::string> argv_text = {LEDGERIX_PROGRAM};
    argv_text.insert(argv_text.end(), arguments.begin(), arguments.end());
    const std::vector<std::string> env_text = Environment(offscreen);
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (const std::string& a : argv_text) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env_text) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, started.out_file.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, started.err_file.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int error =
        posix_spawn(&started.pid, LEDGERIX_PROGRAM, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(error, 0) << "cannot start " << LEDGERIX_PROGRAM;
    if (error != 0) started.pid = -1;
    return started;
  }

  // Waits for the program to end; answers its exit status, or -1 when it did not exit normally
  // (killed after `seconds` so that a hung program fails the test instead of stopping it).
  static int Wait(Started& started, int seconds = 30) {
    int status = 0;
    for (int waited = 0; waited < seconds * 20; ++waited) {
      if (waitpid(started.pid, &status, WNOHANG) == started.pid) {
        started.pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the program did not end within " << seconds << " s";
    kill(started.pid, SIGKILL);
    waitpid(started.pid, &status, 0);
    started.pid = -1;
    return -1;
  }

  static std::string Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Polls `condition` for up to ten seconds.
  static bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
  }

  std::string SettingsFile() const { return Read(device_.host_root() + "/settings/tv_ledgrx.$$$"); }

  testing::TempDeviceRoot device_;
  fs::path base_;
  int runs_ = 0;
};

TEST_F(ProgramProcessTest, VersionHelpAndAMissingDisplayAnswerWithoutStarting) {
  struct Case {
    std::vector<std::string> arguments;
    bool offscreen;
    int status;
    std::string out_start;
    std::string err_start;
  };
  const Case cases[] = {
      {{"--version"}, false, 0, "ledgerix " LEDGERIX_VERSION "\n", ""},
      {{"--help"}, false, 0, "Использование: ledgerix", ""},
      {{"--frobnicate"}, true, 2, "", "ledgerix: неизвестный параметр «--frobnicate»"},
      {{}, false, 1, "", "ledgerix: нужен графический дисплей"},
  };
  for (const Case& c : cases) {
    const std::string label = c.arguments.empty() ? "(no display)" : c.arguments[0];
    Started started = Start(c.arguments, c.offscreen);
    ASSERT_GT(started.pid, 0);
    EXPECT_EQ(Wait(started), c.status) << label;
    EXPECT_EQ(Read(started.out_file).rfind(c.out_start, 0), 0u) << label;
    const std::string err = Read(started.err_file);
    EXPECT_EQ(err.rfind(c.err_start, 0), 0u) << label << ": " << err;
    if (!c.err_start.empty()) {
      EXPECT_EQ(err.find('\n'), err.size() - 1) << label;
    }
  }
  // None of them touched the device root.
  EXPECT_FALSE(fs::exists(device_.host_root() + "/settings"));
}

// The program runs until its main screen closes (here on the request to end that the desktop
// sends when the session ends) and writes its settings back; a second copy started meanwhile
// says that one is already running and ends.
TEST_F(ProgramProcessTest, ASecondCopyIsRefusedAndTheFirstEndsInOrder) {
  // Last week's reminder was seen ten seconds ago: the main screen comes up directly.
  const std::string last_dt = std::to_string(std::time(nullptr) - 10);
  fs::create_directories(device_.host_root() + "/settings");
  {
    std::ofstream settings(device_.host_root() + "/settings/tv_ledgrx.$$$", std::ios::binary);
    settings << "LAST_DT=" << last_dt << "\r\nCUR_INFO_PAGE=2\r\n";
  }
  Started first = Start({});
  ASSERT_GT(first.pid, 0);
  // The program holds the device once it has started.
  ASSERT_TRUE(Eventually([&] {
    platform::InstanceLock probe(device_.host_root());
    return !probe.Acquire() && probe.HeldByAnother();
  })) << Read(first.err_file);

  Started second = Start({});
  ASSERT_GT(second.pid, 0);
  ASSERT_TRUE(Eventually([&] {
    return Read(second.err_file).find("Программа уже запущена!") != std::string::npos;
  })) << Read(second.err_file);
  // Its message box is up; closing it ends that copy with a failure status.
  ASSERT_EQ(kill(second.pid, SIGTERM), 0);
  EXPECT_EQ(Wait(second), 1);

  ASSERT_EQ(kill(first.pid, SIGTERM), 0);
  EXPECT_EQ(Wait(first), 0) << Read(first.err_file);
  const std::string settings = SettingsFile();
  // Written only at an orderly end, after the main screen closed.
  EXPECT_NE(settings.find("IS_SHOW_FIRM_IN_ACTIONS=0\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("GL_FIRM_ID=0\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("LAST_DT=" + last_dt + "\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("CUR_INFO_PAGE=2\r\n"), std::string::npos) << settings;
  EXPECT_TRUE(fs::exists(device_.host_root() + "/objects.sqlite"));
}

}  // namespace
}  // namespace ledgerix
