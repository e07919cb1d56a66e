// The archives screen's hand-over end to end: the program, its database open on the device,
// starts the built companion with an empty command line and waits; the companion finds the
// same device (through the environment, as on the desktop), writes its three files, and the
// program's database is open again afterwards.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "companion/testing/companion_fixture.h"
#include "reports/companion.h"

namespace ledgerix::testing {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (had_) {
      ::setenv(name_, old_.c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

class HandOverTest : public CompanionTest {};

TEST_P(HandOverTest, TheProgramStartsTheCompanionWhichWritesTheThreeFiles) {
  ASSERT_TRUE(device_.Load(HouseholdExchangeText(bench::MakeHousehold({500, 4}))));
  const fs::path base = fs::path(device_.root().host_root()).parent_path();
  // The desktop's folders lead to the test's device: $XDG_DATA_HOME/ledgerix and ~/Documents.
  fs::create_directories(base / "xdg");
  fs::create_directories(base / "home");
  fs::create_directory_symlink(device_.root().host_root(), base / "xdg" / "ledgerix");
  fs::create_directory_symlink(device_.root().documents_folder(), base / "home" / "Documents");
  fs::copy_file(LDXLOAD_PROGRAM, fs::path(device_.root().program_folder()) / "ldxload");
  ScopedVariable data("XDG_DATA_HOME", (base / "xdg").string());
  ScopedVariable home("HOME", (base / "home").string());

  FinanceDb& db = device_.db();
  const DbString entries = db.WriteTableSection(kEntriesTable);
  ASSERT_TRUE(StartCompanion(device_.root().env(), &db));
  for (const char16_t* name :
       {u"\\My Documents\\Ledgerix\\ledgerix.txt", u"\\My Documents\\Ledgerix\\entries.csv",
        u"\\My Documents\\Ledgerix\\ledgerix.journal"}) {
    EXPECT_TRUE(device_.root().Exists(name));
  }
  ASSERT_TRUE(db.IsOpen());
  EXPECT_EQ(db.WriteTableSection(kEntriesTable).View(), entries.View());
  // The program goes on writing, and what it wrote is there at its next start.
  EntryRecord entry;
  entry.kind_id = 1;
  entry.date = 150308;
  entry.price = 15;
  entry.count = 2;
  entry.type = 2;
  entry.account_id = 1;
  ASSERT_EQ(db.AddEntry(entry), 1);
  const DbString after = db.WriteTableSection(kEntriesTable);
  device_.CloseDatabase();
  device_.root().env().CloseObjectStore();
  ASSERT_TRUE(device_.OpenDatabase());
  EXPECT_EQ(device_.db().WriteTableSection(kEntriesTable).View(), after.View());
}

INSTANTIATE_TEST_SUITE_P(Drivers, HandOverTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
