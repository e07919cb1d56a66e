#pragma once
// What the companion's tests share: a device with a finance database on a given storage kind,
// the settings choosing that kind, filled quickly with the ten-year household (through an
// exchange file, one load instead of an insert per entry), and the companion run in-process.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/household.h"
#include "finance/finance_db.h"
#include "testing/driver_kinds.h"
#include "testing/fake_clock.h"
#include "testing/temp_device_root.h"

namespace ledgerix::testing {

using bench::HouseholdExchangeText;

// What one run of the companion did.
struct CompanionRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// One device: settings file choosing the storage kind, the clock at 8 December 2026 10:00.
class CompanionDevice {
 public:
  explicit CompanionDevice(DriverKind kind);

  // Opens (creating when needed) the database into db(); false on failure.
  bool OpenDatabase();
  // Closes the database, so that the companion reaches the store alone.
  void CloseDatabase() { db_.reset(); }
  FinanceDb& db() { return *db_; }
  // Replaces the data with the text of an exchange file; false on failure.
  bool Load(const std::string& exchange_text);
  // The database as exchange text; empty on failure.
  std::string ExchangeText();
  // Runs the companion with `args` on this device (the database closed first).
  CompanionRun Run(const std::vector<std::string>& args);
  // Runs the companion as another process would, on an Env of its own over the same folders,
  // leaving this device's database as it is (open or not).
  CompanionRun RunBeside(const std::vector<std::string>& args);

  TempDeviceRoot& root() { return root_; }
  FakeClock& clock() { return clock_; }
  // A host path for a scratch file of the test.
  std::string ScratchPath(const std::string& name) const;

 private:
  TempDeviceRoot root_;
  FakeClock clock_;
  FinanceGlobals globals_;
  std::unique_ptr<FinanceDb> db_;
};

class CompanionTest : public ::testing::TestWithParam<DriverKind> {
 protected:
  CompanionTest() : device_(GetParam()) {}
  CompanionDevice device_;
};

}  // namespace ledgerix::testing
