#include "companion/testing/companion_fixture.h"

#include <sstream>

#include "companion/companion_program.h"
#include "finance/packed_amount.h"

namespace ledgerix::testing {

std::string HouseholdExchangeText(const bench::Household& household) {
  std::string text = "[sec_consumeritems]\r\n";
  for (const KindRecord& kind : household.kinds) {
    text += std::to_string(kind.id) + ";" + std::string(kind.name.View()) + ";" +
            std::string(kind.category.View()) + ";" + std::to_string(PackAmount(kind.price)) + ";" +
            std::to_string(kind.type) + ";0;\r\n";
  }
  text += "\r\n[sec_data]\r\n";
  for (const EntryRecord& entry : household.entries) {
    text += std::to_string(entry.kind_id) + ";" + std::to_string(entry.date) + ";" +
            std::to_string(PackAmount(entry.price)) + ";" +
            std::to_string(PackAmount(entry.count)) + ";" + std::to_string(entry.type) + ";" +
            std::string(entry.note.View()) + ";" + std::to_string(entry.account_id) + ";0;\r\n";
  }
  text += "\r\n[sec_firms]\r\n";
  for (const AccountRecord& account : household.accounts) {
    text += std::to_string(account.id) + ";" + std::string(account.name.View()) + ";" +
            std::string(account.note.View()) + ";0;\r\n";
  }
  return text;
}

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

std::string CompanionDevice::ScratchPath(const std::string& name) const {
  return root_.program_folder() + "/" + name;
}

}  // namespace ledgerix::testing
