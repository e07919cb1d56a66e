// Times the finance operations on the ten-year household (50,000 entries, 300 kinds in 30
// categories, 5 accounts) for each storage driver: loading it from an exchange file, writing the
// file, a normal start, one day's entry list, and deleting one day's entries.

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/db_string.h"
#include "finance/finance_db.h"
#include "finance/list_control.h"
#include "platform/clock.h"
#include "platform/posix_env.h"

namespace {

using ledgerix::DbString;
using ledgerix::EntryFilter;
using ledgerix::FinanceDb;
using ledgerix::FinanceGlobals;

constexpr int kEntries = 50000;
constexpr int kKinds = 300;
constexpr int kAccounts = 5;

// A list that only counts what it is given.
class CountingList : public ledgerix::ListControl {
 public:
  void DeleteAllItems() override { items_ = 0; }
  int InsertItem(const DbString&, int, int64_t) override { return items_++; }
  void SetItemText(int, int, const DbString&) override {}
  int ItemCount() const override { return items_; }

 private:
  int items_ = 0;
};

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The household as exchange text: kinds 1..300, entries spread over ten years of days.
std::string HouseholdText() {
  std::string text = "[sec_consumeritems]\r\n";
  for (int id = 1; id <= kKinds; ++id) {
    text += std::to_string(id) + ";Kind " + std::to_string(id) + ";Category " +
            std::to_string(id % 30) + ";" + std::to_string(100 << 8) + ";" +
            std::to_string(id % 10 == 0 ? 1 : 2) + ";0;\r\n";
  }
  text += "\r\n[sec_data]\r\n";
  for (int i = 0; i < kEntries; ++i) {
    int day = 1 + i % 28;
    int month = 1 + (i / 28) % 12;
    int year = 10 + (i / 336) % 10;
    int date = (day + 10) * 10000 + month * 100 + year;
    // Entries come grouped by kind, as the program writes them.
    int kind = 1 + i * kKinds / kEntries;
    text += std::to_string(kind) + ";" + std::to_string(date) + ";" + std::to_string(1234) + ";" +
            std::to_string(512) + ";" + std::to_string(kind % 10 == 0 ? 1 : 2) + ";;" +
            std::to_string(1 + i % kAccounts) + ";0;\r\n";
  }
  text += "\r\n[sec_firms]\r\n";
  for (int id = 1; id <= kAccounts; ++id) text += std::to_string(id) + ";Account;;0;\r\n";
  return text;
}

void RunFor(int kind, const std::string& household) {
  char folder_template[] = "/tmp/ledgerix-finance-bench-XXXXXX";
  const std::string folder = mkdtemp(folder_template);
  ledgerix::platform::PosixEnv env({folder + "/root", folder + "/docs", folder + "/program"});
  std::filesystem::create_directories(folder + "/root/data");
  {
    std::FILE* file = std::fopen((folder + "/root/data/household.txt").c_str(), "wb");
    std::fwrite(household.data(), 1, household.size(), file);
    std::fclose(file);
  }
  ledgerix::platform::SystemClock clock;
  FinanceGlobals globals;
  globals.storage_kind = static_cast<ledgerix::DriverKind>(kind);
  const char* name = kind == 6 ? "file database" : "object store";
  {
    FinanceDb db(env, clock, globals);
    db.Open(ledgerix::kDatabaseName);
    double load = Milliseconds([&] { db.ReadExchangeFile(DbString(u"\\data\\household.txt")); });
    double write = Milliseconds([&] { db.WriteExchangeFile(DbString(u"\\data\\written.txt")); });
    CountingList list;
    EntryFilter day;
    day.date = 110115;
    day.type = 2;
    double list_day = Milliseconds([&] { db.ListEntriesForDay(day, &list); });
    double delete_day = Milliseconds([&] { static_cast<void>(db.DeleteEntries(day)); });
    std::printf(
        "%-14s load %8.1f ms  write %7.1f ms  day list %6.1f ms (%d rows)  "
        "delete day %6.1f ms\n",
        name, load, write, list_day, list.ItemCount(), delete_day);
  }
  FinanceDb db(env, clock, globals);
  double open = Milliseconds([&] { db.Open(ledgerix::kDatabaseName); });
  std::printf("%-14s normal start %6.1f ms\n", name, open);
  std::filesystem::remove_all(folder);
}

}  // namespace

int main() {
  const std::string household = HouseholdText();
  RunFor(3, household);
  RunFor(6, household);
  return 0;
}
