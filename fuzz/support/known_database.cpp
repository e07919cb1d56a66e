#include "fuzz/support/known_database.h"

#include <string>

#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/fuzz_device.h"

namespace ledgerix::fuzz {
namespace {

KindRecord Kind(int32_t id, const char* name, const char* category, double price, int32_t type) {
  KindRecord kind;
  kind.id = id;
  kind.name = FromUtf8(name);
  kind.category = FromUtf8(category);
  kind.price = price;
  kind.type = type;
  return kind;
}

AccountRecord Account(int32_t id, const char* name, const char* note) {
  AccountRecord account;
  account.id = id;
  account.name = FromUtf8(name);
  account.note = FromUtf8(note);
  return account;
}

void AddKnownRows(FinanceDb& db) {
  FUZZ_CHECK(db.AddKind(Kind(6, "Зарплата", "Основной доход", 45000.5, 1)), "AddKind");
  FUZZ_CHECK(db.AddKind(Kind(7, "Продукты", "", 0, 2)), "AddKind");
  FUZZ_CHECK(db.AddAccount(Account(3, "Вклад", "под 7% до 2025")), "AddAccount");
  const char* notes[] = {"", "хлеб и молоко", "на работу", "долг Ивану", "x"};
  for (int i = 0; i < 12; ++i) {
    EntryRecord entry;
    entry.kind_id = 1 + i % 7;
    entry.date = 110124 + (i % 28) * 10000;  // day i + 1 of January 2024
    entry.price = 15.25 + i * 100;
    entry.count = 1 + i % 3;
    entry.type = (i % 7 == 4 || i % 7 == 5) ? 1 : 2 + (i % 4 == 0 ? 100 : 0);
    entry.account_id = 1 + i % 3;
    entry.note = FromUtf8(notes[i % 5]);
    FUZZ_CHECK(db.AddEntry(entry), "AddEntry " + std::to_string(i));
  }
}

}  // namespace

Tables ReadTables(FinanceDb& db) {
  Tables tables(kFinanceTables.size());
  for (size_t i = 0; i < kFinanceTables.size(); ++i) {
    FUZZ_CHECK(ReadTable(db, kFinanceTables[i], &tables[i]),
               std::string("a table of the open database does not read: ") + kFinanceTables[i]);
  }
  return tables;
}

Tables DefaultTables(DriverKind kind) {
  FinanceSetup setup(kind);
  FinanceDb db(FuzzDevice::Get().Fresh(), setup.clock, setup.globals);
  OpenReport report;
  FUZZ_CHECK(db.Open(kDatabaseName, &report) == 1 && report.outcome == OpenOutcome::kCreated,
             "a new database is not created");
  return ReadTables(db);
}

Tables MakeKnownDatabase(DriverKind kind) {
  FuzzDevice& device = FuzzDevice::Get();
  FinanceSetup setup(kind);
  Tables tables;
  {
    FinanceDb db(device.Fresh(), setup.clock, setup.globals);
    FUZZ_CHECK(db.Open(kDatabaseName) == 1, "a new database does not open");
    AddKnownRows(db);
    tables = ReadTables(db);
  }
  device.SaveTemplate();
  return tables;
}

}  // namespace ledgerix::fuzz
