#include "companion/testing/companion_fixture.h"

#include <sstream>

#include "companion/companion_program.h"

namespace ledgerix::testing {

CompanionDevice::CompanionDevice(DriverKind kind) {
  clock_.SetDate(2026, 12, 8, 10, 0);
  globals_.storage_kind = kind;
  const std::string setting = kind == DriverKind::kFileDatabase ? "0" : "1";
  EXPECT_TRUE(
      root_.WriteHostFile(u"\\settings\\tv_ledgrx.$$$", "IS_SYSTEMTYPE_DB=" + setting + "\r\n"));
}

bool CompanionDevice::OpenDatabase() {
  db_.reset();
  db_ = std::make_unique<FinanceDb>(root_.env(), clock_, globals_);
  return db_->Open(kDatabaseName) != 0;
}

bool CompanionDevice::Load(const std::string& exchange_text) {
  if (!root_.WriteHostFile(u"\\load.txt", exchange_text)) return false;
  if (db_ == nullptr && !OpenDatabase()) return false;
  return db_->ReadExchangeFile(DbString("\\load.txt")) != 0;
}

std::string CompanionDevice::ExchangeText() {
  if (db_ == nullptr && !OpenDatabase()) return {};
  if (!db_->WriteExchangeFile(DbString("\\dump.txt"))) return {};
  return root_.ReadHostFile(u"\\dump.txt");
}

CompanionRun CompanionDevice::Run(const std::vector<std::string>& args) {
  CloseDatabase();
  root_.env().CloseObjectStore();
  std::ostringstream out;
  std::ostringstream err;
  CompanionRun run;
  run.exit_code = RunCompanion(args, root_.env(), clock_, out, err);
  run.out = out.str();
  run.err = err.str();
  root_.env().CloseObjectStore();
  return run;
}

CompanionRun CompanionDevice::RunBeside(const std::vector<std::string>& args) {
  platform::PosixEnv other(root_.env().options());
  std::ostringstream out;
  std::ostringstream err;
  CompanionRun run;
  run.exit_code = RunCompanion(args, other, clock_, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string CompanionDevice::ScratchPath(const std::string& name) const {
  return root_.program_folder() + "/" + name;
}

}  // namespace ledgerix::testing
