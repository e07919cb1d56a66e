#include "app/startup_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "finance/finance_db.h"

namespace ledgerix {
namespace {

std::string Host(const DbString& device_path) { return "/host" + ToUtf8(device_path); }

TableRecovery Rows(const char* table, uint32_t recovered, uint32_t lost = 0, bool missing = false) {
  TableRecovery rows;
  rows.table = DbString(table);
  rows.recovered = recovered;
  rows.lost = lost;
  rows.missing = missing;
  return rows;
}

platform::FailureDetail DiskFull() {
  platform::FailureDetail failure;
  failure.call = "Write";
  failure.host_path = "/host/data/x";
  failure.error = platform::winerr::kDiskFull;
  return failure;
}

// Every outcome that changed, salvaged or refused something has a message with its key facts;
// a plain start and a first start have none.
TEST(DatabaseOpenMessageTest, SaysWhatWasFoundWhereTheCopyIsAndWhatCameBack) {
  struct Case {
    const char* name;
    OpenReport report;
    std::vector<std::string> facts;  // empty: no message
  };
  OpenReport opened;
  opened.outcome = OpenOutcome::kOpened;
  OpenReport created;
  created.outcome = OpenOutcome::kCreated;
  OpenReport salvaged;
  salvaged.outcome = OpenOutcome::kSalvaged;
  salvaged.damage = DamageFound::kCatalogDamaged;
  salvaged.copy_folder = DbString("\\data\\damaged 01.03.24 12_00");
  salvaged.tables = {Rows(kKindsTable, 5), Rows(kEntriesTable, 39, 1), Rows(kAccountsTable, 2)};
  OpenReport missing_table = salvaged;
  missing_table.damage = DamageFound::kTables;
  missing_table.tables[1] = Rows(kEntriesTable, 0, 0, true);
  OpenReport nothing_back = salvaged;
  nothing_back.damage = DamageFound::kStore;
  nothing_back.tables = {Rows(kKindsTable, 0), Rows(kEntriesTable, 0), Rows(kAccountsTable, 0)};
  OpenReport resumed = salvaged;
  resumed.resumed = true;
  OpenReport converted;
  converted.outcome = OpenOutcome::kConverted;
  converted.backup = DbString("\\data\\01.03.24 12_00.txt");
  converted.tables = {Rows(kKindsTable, 2), Rows(kEntriesTable, 3), Rows(kAccountsTable, 2)};
  OpenReport damaged;
  damaged.outcome = OpenOutcome::kDamaged;
  damaged.damage = DamageFound::kCatalogMissing;
  damaged.failure = DiskFull();
  OpenReport read_only;
  read_only.outcome = OpenOutcome::kReadOnly;
  read_only.failure.error = platform::winerr::kAccessDenied;
  read_only.failure.host_path = "/host/tolvena_db/x";
  OpenReport failed;
  failed.outcome = OpenOutcome::kFailed;
  failed.failure = DiskFull();
  OpenReport failed_conversion = failed;
  failed_conversion.backup = converted.backup;

  const Case cases[] = {
      {"opened", opened, {}},
      {"created", created, {}},
      {"salvaged",
       salvaged,
       {"База данных повреждена: описание таблиц базы данных повреждено!",
        "/host\\data\\damaged 01.03.24 12_00",
        "виды доходов и расходов: 5; записи: 39, не восстановлено 1; счета: 2"}},
      {"a table missing", missing_table, {"не все строки", "записи: 0 (таблица отсутствовала)"}},
      {"nothing back",
       nothing_back,
       {"хранилище данных не открывается", "Прочитать строки не удалось; начата новая база"}},
      {"resumed", resumed, {"прерванное при прошлом запуске, завершено", "записи: 39"}},
      {"converted",
       converted,
       {"База данных прежнего формата преобразована.", "/host\\data\\01.03.24 12_00.txt",
        "записи: 3"}},
      {"damaged without a copy",
       damaged,
       {"База данных повреждена: нет описания таблиц", "нет места на диске", "/host/data/x",
        "Данные не изменены."}},
      {"read-only",
       read_only,
       {"База данных защищена от записи!", "нет доступа", "/host/tolvena_db/x",
        "Данные не изменены."}},
      {"failed", failed, {"Ошибка открытия базы данных!", "нет места на диске"}},
      {"failed conversion",
       failed_conversion,
       {"Ошибка открытия базы данных!", "/host\\data\\01.03.24 12_00.txt", "будет повторено"}},
  };
  for (const Case& c : cases) {
    const std::string message = ToUtf8(DatabaseOpenMessage(c.report, Host));
    EXPECT_EQ(message.empty(), c.facts.empty()) << c.name << ": " << message;
    for (const std::string& fact : c.facts) {
      EXPECT_NE(message.find(fact), std::string::npos) << c.name << ": " << message;
    }
  }
}

TEST(StartupMessagesTest, EachCauseHasItsOwnMessage) {
  const std::string running = ToUtf8(AlreadyRunningMessage());
  const std::string device = ToUtf8(DeviceUnusableMessage("/root", DiskFull()));
  const std::string settings = ToUtf8(SettingsUnreadableMessage("/root/s.$$$", DiskFull()));
  OpenReport failed;
  const std::string database = ToUtf8(DatabaseOpenMessage(failed, nullptr));
  EXPECT_EQ(running, "Программа уже запущена!");
  EXPECT_EQ(device.rfind("Ошибка доступа к папке данных программы!\n/root\n", 0), 0u);
  EXPECT_EQ(settings.rfind("Ошибка чтения файла настроек!\n/root/s.$$$\n", 0), 0u);
  EXPECT_EQ(database.rfind("Ошибка открытия базы данных!\nпричина неизвестна", 0), 0u);
}

}  // namespace
}  // namespace ledgerix
