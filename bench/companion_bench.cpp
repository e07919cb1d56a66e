// The companion against ledger: the whole process `ldxload report` for one year by category
// against `ledger bal` over the same journal for the same question (the year's balance of every
// category), at the ten-year household, on both storage drivers in one run. Each device is
// built in a temporary folder from the household's exchange text; the companion runs on it as
// the program's device root ($XDG_DATA_HOME/ledgerix).
//
//   ledgerix_companion_bench --ldxload build-bench/ldxload [--entries 50000] [--runs 21] [--keep 1]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/household.h"
#include "bench/timing.h"
#include "finance/finance_db.h"
#include "platform/clock.h"
#include "platform/posix_env.h"

extern char** environ;

namespace ledgerix::bench {
namespace {

namespace fs = std::filesystem;

// Runs a program to its end with its output thrown away; false unless it exits with 0.
bool RunProcess(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned =
      posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A device under `base` holding the household on driver `kind`: base/data/ledgerix is the root.
bool BuildDevice(const fs::path& base, int kind, const std::string& exchange) {
  const fs::path root = base / "data" / "ledgerix";
  fs::create_directories(root / "settings");
  std::ofstream(root / "settings" / "tv_ledgrx.$$$", std::ios::binary)
      << "IS_SYSTEMTYPE_DB=" << (kind == 6 ? "0" : "1") << "\r\n";
  std::ofstream(root / "load.txt", std::ios::binary) << exchange;
  platform::PosixEnv env({root.string(), (base / "Documents").string(), base.string()});
  platform::SystemClock clock;
  FinanceGlobals globals;
  globals.storage_kind = kind == 6 ? DriverKind::kFileDatabase : DriverKind::kObjectStore;
  FinanceDb db(env, clock, globals);
  const bool loaded = db.Open(kDatabaseName) && db.ReadExchangeFile(DbString("\\load.txt"));
  fs::remove(root / "load.txt");
  return loaded;
}

int Main(int argc, char** argv) {
  std::string ldxload;
  int entries = 50000;
  int runs = 21;
  bool keep = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--ldxload") ldxload = fs::absolute(argv[i + 1]).string();
    if (name == "--entries") entries = std::atoi(argv[i + 1]);
    if (name == "--runs") runs = std::atoi(argv[i + 1]);
    if (name == "--keep") keep = std::string(argv[i + 1]) == "1";
  }
  if (ldxload.empty()) {
    std::fprintf(stderr,
                 "usage: ledgerix_companion_bench --ldxload PATH [--entries N] [--runs N]\n");
    return 2;
  }
  const std::string exchange = HouseholdExchangeText(MakeHousehold({entries, 1}));
  const fs::path base =
      fs::temp_directory_path() / ("ledgerix-companion-bench-" + std::to_string(::getpid()));
  std::printf(
      "ldxload report --year 2015 --group categories --rows year, against\n"
      "ledger bal --depth 2 -b 2015-01-01 -e 2016-01-01 Доходы Расходы;\n"
      "%d entries, median of %d runs after one warm-up, whole processes\n\n",
      entries, runs);
  std::printf("| driver | ldxload report ms | ledger bal ms | ratio |\n|---|---:|---:|---:|\n");
  int failures = 0;
  for (int kind : {3, 6}) {
    const fs::path device = base / ("kind" + std::to_string(kind));
    if (!BuildDevice(device, kind, exchange)) {
      std::fprintf(stderr, "kind %d: the household could not be stored\n", kind);
      ++failures;
      continue;
    }
    const std::vector<std::string> env = {"XDG_DATA_HOME=" + (device / "data").string(),
                                          "HOME=" + device.string(), "PATH=/usr/bin:/bin",
                                          "LANG=C.UTF-8"};
    const std::string journal = (device / "ledgerix.journal").string();
    bool ok = RunProcess({ldxload, "export", "journal", "--output", journal}, env);
    const std::vector<std::string> report = {ldxload,   "report",     "--year", "2015",
                                             "--group", "categories", "--rows", "year"};
    const std::vector<std::string> ledger = {"ledger",  "-f",         journal,  "bal",
                                             "--depth", "2",          "-b",     "2015-01-01",
                                             "-e",      "2016-01-01", "Доходы", "Расходы"};
    ok = ok && RunProcess(report, env) && RunProcess(ledger, env);
    if (!ok) {
      std::fprintf(stderr, "kind %d: a process failed\n", kind);
      ++failures;
      continue;
    }
    const double report_ms = MedianMilliseconds([&] { RunProcess(report, env); }, runs);
    const double ledger_ms = MedianMilliseconds([&] { RunProcess(ledger, env); }, runs);
    std::printf("| %d | %.1f | %.1f | %.3f |\n", kind, report_ms, ledger_ms, report_ms / ledger_ms);
  }
  std::error_code ignored;
  if (keep) {
    std::printf("\nthe devices are kept in %s\n", base.string().c_str());
  } else {
    fs::remove_all(base, ignored);
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace ledgerix::bench

int main(int argc, char** argv) { return ledgerix::bench::Main(argc, argv); }
