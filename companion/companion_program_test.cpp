#include "companion/companion_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "companion/testing/companion_fixture.h"
#include "platform/instance_lock.h"

namespace ledgerix::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// Replaces line `line` (1-based, lines ended by "\n") of `text` by `replacement`.
std::string WithLine(const std::string& text, size_t line, const std::string& replacement) {
  size_t start = 0;
  for (size_t n = 1; n < line; ++n) start = text.find('\n', start) + 1;
  size_t end = text.find('\n', start);
  const bool cr = end > start && text[end - 1] == '\r';
  return text.substr(0, start) + replacement + (cr ? "\r" : "") + text.substr(end);
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// UTF-8 text as the database stores it (Windows-1251).
std::string AsStored(const std::string& utf8) { return std::string(FromUtf8(utf8).View()); }

std::vector<std::string> DataFolderFiles(TempDeviceRoot& root) {
  std::vector<std::string> names;
  const std::string folder = root.HostPath(u"\\data");
  if (!std::filesystem::exists(folder)) return names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class CompanionProgramTest : public CompanionTest {
 protected:
  // Loads a household of `entries` entries; its exchange text as the database writes it.
  std::string LoadHousehold(int entries) {
    EXPECT_TRUE(device_.Load(HouseholdExchangeText(bench::MakeHousehold({entries, 3}))));
    return device_.ExchangeText();
  }
};

TEST_P(CompanionProgramTest, WithoutArgumentsWritesTheThreeFilesIntoTheDocumentsFolder) {
  const std::string exchange = LoadHousehold(300);
  const CompanionRun run = device_.Run({});
  ASSERT_EQ(run.exit_code, kExitSuccess) << run.err;
  const std::string folder = device_.root().documents_folder() + "/Ledgerix/";
  for (const char* name : {"ledgerix.txt", "entries.csv", "ledgerix.journal"}) {
    EXPECT_NE(run.out.find(folder + name), std::string::npos) << run.out;
  }
  // The exchange file is an archive of the data, its entries in an order of their own.
  EXPECT_EQ(SortedLines(ReadFile(folder + "ledgerix.txt")), SortedLines(exchange));
  const std::string csv = ReadFile(folder + "entries.csv");
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBFДата,Направление,Вид,Категория,Счет,Количество,Цена,Сумма,"
                      "Примечание\r\n",
                      0),
            0u);
  EXPECT_EQ(CountOf(csv, "\r\n"), 301u);
  const std::string journal = ReadFile(folder + "ledgerix.journal");
  EXPECT_EQ(CountOf(journal, "\n    Счета:"), 300u);
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_P(CompanionProgramTest, AnExportedFileImportedIntoAnEmptyDatabaseExportsTheSameBytes) {
  LoadHousehold(3000);
  for (const std::string kind : {"csv", "exchange"}) {
    SCOPED_TRACE(kind);
    const std::string first = device_.ScratchPath("first." + kind);
    ASSERT_EQ(device_.Run({"export", kind, "--output", first}).exit_code, kExitSuccess);
    CompanionDevice empty(GetParam());
    const CompanionRun imported = empty.Run({"import", first});
    ASSERT_EQ(imported.exit_code, kExitSuccess) << imported.err;
    const std::string second = device_.ScratchPath("second." + kind);
    ASSERT_EQ(empty.Run({"export", kind, "--output", second}).exit_code, kExitSuccess);
    EXPECT_TRUE(ReadFile(second) == ReadFile(first)) << "differ: " << first << " " << second;
  }
}

TEST_P(CompanionProgramTest, ACsvLineTakesItsQuotesMarksAndAccountBack) {
  ASSERT_TRUE(device_.OpenDatabase());
  const std::string csv =
      "Дата,Направление,Вид,Категория,Счет,Количество,Цена,Сумма,Примечание\r\n"
      "2015-03-05,Расход,[P] [+] Бензин,Машина,Наличные,2.00,15.50,-31.00,\"сказал \"\"да\"\", "
      "и\"\r\n"
      "2015-03-06,Приход,Оклад,,,1,1000,1000.00,\r\n";
  const std::string path = device_.ScratchPath("in.csv");
  WriteFile(path, csv);
  const CompanionRun run = device_.Run({"import", path});
  ASSERT_EQ(run.exit_code, kExitSuccess) << run.err;
  const CompanionRun exported = device_.Run({"export", "csv"});
  ASSERT_EQ(exported.exit_code, kExitSuccess) << exported.err;
  EXPECT_EQ(exported.out,
            "\xEF\xBB\xBF"
            "Дата,Направление,Вид,Категория,Счет,Количество,Цена,Сумма,Примечание\r\n"
            "2015-03-05,Расход,[P] [+] Бензин,Машина,Наличные,2.00,15.50,-31.00,\"сказал "
            "\"\"да\"\", и\"\r\n"
            "2015-03-06,Приход,Оклад,,,1.00,1000.00,1000.00,\r\n");
}

// A file with one bad line in the middle is refused whole: the line is named, nothing is
// archived and nothing changes.
TEST_P(CompanionProgramTest, AFileWithABadLineChangesNothingAndNamesTheLine) {
  const std::string before = LoadHousehold(400);
  const std::string csv_path = device_.ScratchPath("good.csv");
  const std::string exchange_path = device_.ScratchPath("good.txt");
  ASSERT_EQ(device_.Run({"export", "csv", "-o", csv_path}).exit_code, kExitSuccess);
  ASSERT_EQ(device_.Run({"export", "exchange", "-o", exchange_path}).exit_code, kExitSuccess);
  const std::string csv = ReadFile(csv_path);
  const std::string exchange = ReadFile(exchange_path);
  // Line 1 of the exchange file is "[sec_consumeritems]"; with 300 kinds, the entries begin at
  // line 304.
  struct Case {
    const char* what;
    const std::string& file;
    size_t line;
    std::string replacement;
    const char* reason;
  };
  const Case cases[] = {
      {"a day that does not exist", csv, 200,
       "2015-02-30,Расход,Хлеб,Еда,Наличные,1.00,2.00,-2.00,", "дата"},
      {"an unknown direction", csv, 200, "2015-02-03,Перевод,Хлеб,Еда,Наличные,1.00,2.00,-2.00,",
       "направление"},
      {"a field too many", csv, 200, "2015-02-03,Расход,Хлеб,Еда,Наличные,1.00,2.00,-2.00,,x",
       "полей"},
      {"a decimal comma", csv, 200, "2015-02-03,Расход,Хлеб,Еда,Наличные,1.00,\"2,50\",-2.50,",
       "цена"},
      {"a negative count", csv, 200, "2015-02-03,Расход,Хлеб,Еда,Наличные,-1.00,2.00,2.00,",
       "количество"},
      {"a note the exchange file cannot hold", csv, 200,
       "2015-02-03,Расход,Хлеб,Еда,Наличные,1.00,2.00,-2.00,а;б", "текст"},
      {"a quote that never closes", csv, 200, "2015-02-03,Расход,\"Хлеб,Еда", "кавычки"},
      {"letters in a number column", exchange, 450, "12x;150308;3840;512;2;;1;0;", "целое"},
      {"a short entry line", exchange, 450, "3;150308;3840;", "значений"},
      {"text after the last value", exchange, 450, "3;150308;3840;512;2;;1;0;x", "текст"},
      {"an unknown table", exchange, 450, "[sec_other]", "таблица"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = device_.ScratchPath("bad");
    WriteFile(path, WithLine(c.file, c.line, c.replacement));
    const CompanionRun run = device_.Run({"import", path});
    EXPECT_EQ(run.exit_code, kExitFailure);
    EXPECT_NE(run.err.find("строка " + std::to_string(c.line) + ": "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_EQ(device_.ExchangeText(), before);
    device_.CloseDatabase();
    EXPECT_TRUE(DataFolderFiles(device_.root()).empty());
  }
}

TEST_P(CompanionProgramTest, ImportArchivesTheDataFirstUnderTheNextFreeName) {
  const std::string before = LoadHousehold(100);
  // An archive saved in the same minute holds the usual name.
  ASSERT_TRUE(device_.root().WriteHostFile(u"\\data\\08.12.26 10_00.txt", "older"));
  const std::string path = device_.ScratchPath("in.txt");
  WriteFile(path, HouseholdExchangeText(bench::MakeHousehold({50, 9})));
  const CompanionRun run = device_.Run({"import", path});
  ASSERT_EQ(run.exit_code, kExitSuccess) << run.err;
  EXPECT_EQ(device_.root().ReadHostFile(u"\\data\\08.12.26 10_00.txt"), "older");
  EXPECT_EQ(device_.root().ReadHostFile(u"\\data\\08.12.26 10_00 (2).txt"), before);
  EXPECT_NE(run.out.find("08.12.26 10_00 (2).txt"), std::string::npos) << run.out;
  EXPECT_NE(device_.ExchangeText(), before);
}

TEST_P(CompanionProgramTest, WhileTheProgramRunsImportIsRefusedAndReadingWorks) {
  const std::string before = LoadHousehold(100);
  const std::string path = device_.ScratchPath("in.txt");
  WriteFile(path, HouseholdExchangeText(bench::MakeHousehold({50, 9})));
  platform::InstanceLock program(device_.root().host_root());
  ASSERT_TRUE(program.Acquire());
  const CompanionRun refused = device_.Run({"import", path});
  EXPECT_EQ(refused.exit_code, kExitFailure);
  EXPECT_NE(refused.err.find("закройте ее"), std::string::npos) << refused.err;
  EXPECT_EQ(device_.Run({"report", "--year", "2015"}).exit_code, kExitSuccess);
  EXPECT_EQ(device_.Run({}).exit_code, kExitSuccess);
  EXPECT_EQ(device_.ExchangeText(), before);
  device_.CloseDatabase();
  EXPECT_TRUE(DataFolderFiles(device_.root()).empty());
}

// The program holds the device with its data open (not handed over): the companion keeps away
// from the files, and what the program writes afterwards is kept.
TEST_P(CompanionProgramTest, WhileTheProgramWorksOnItsDataTheCompanionKeepsAway) {
  LoadHousehold(100);
  platform::InstanceLock program(device_.root().host_root());
  ASSERT_TRUE(program.Acquire());
  const std::string before = device_.db().WriteTableSection(kEntriesTable).View().data();
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"report", "--year", "2015"}, {}}) {
    const CompanionRun run = device_.RunBeside(args);
    EXPECT_EQ(run.exit_code, kExitFailure);
    EXPECT_NE(run.err.find("передайте их из программы"), std::string::npos) << run.err;
  }
  EntryRecord entry;
  entry.kind_id = 1;
  entry.date = 150308;
  entry.price = 15;
  entry.count = 2;
  entry.type = 2;
  ASSERT_EQ(device_.db().AddEntry(entry), 1);
  const std::string after = device_.db().WriteTableSection(kEntriesTable).View().data();
  EXPECT_NE(after, before);
  device_.CloseDatabase();
  device_.root().env().CloseObjectStore();
  ASSERT_TRUE(device_.OpenDatabase());
  EXPECT_EQ(std::string(device_.db().WriteTableSection(kEntriesTable).View()), after);
}

TEST_P(CompanionProgramTest, ReportPrintsTheScreensRowsAndTotals) {
  ASSERT_TRUE(device_.Load(AsStored(
      "[sec_consumeritems]\r\n1;Хлеб;Еда;0;2;0;\r\n2;Оклад;Работа;0;1;0;\r\n\r\n[sec_data]\r\n"
      "1;150308;2560;512;2;;1;0;\r\n1;200308;5120;256;2;;1;0;\r\n2;110308;256000;256;1;;1;0;\r\n"
      "1;100208;256;256;2;;1;0;\r\n\r\n[sec_firms]\r\n1;Наличные;;0;\r\n")));
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const Case cases[] = {
      {{"report", "--month", "2008-03", "--group", "categories", "--rows", "month", "--format",
        "csv"},
       "Дата,Категория,Сумма\r\nмарт`08 год,Работа,1000.00\r\nмарт`08 год,Еда,-40.00\r\n"},
      {{"report", "--from", "2008-03-01", "--till", "2008-03-31", "--group", "accounts", "--type",
        "expense", "--format", "csv"},
       "Дата,Счет,Сумма\r\n05.03.08,Наличные,-20.00\r\n10.03.08,Наличные,-20.00\r\n"},
      {{"report", "--year", "2008", "--rows", "year", "--format", "json"},
       "{\n  \"period\": \"Период с: 1.1.2008 по 31.12.2008\",\n  \"report\": \"Вид: Баланс\",\n"
       "  \"columns\": [\"Дата\", \"Описание\", \"Категория\", \"Кол-во\", \"Цена\", "
       "\"Сумма\"],\n  \"rows\": [\n    [\"`08 год\", \"Хлеб\", \"Еда\", 4.00, -10.25, -41.00],\n"
       "    [\"`08 год\", \"Оклад\", \"Работа\", 1.00, 1000.00, 1000.00]\n  ],\n"
       "  \"totals\": {\"incoming\": 0.00, \"income\": 1000.00, \"spending\": -41.00, \"rows\": "
       "959.00, \"closing\": 959.00}\n}\n"},
      {{"report", "--month", "2008-03", "--account", "Наличные", "--type", "income"},
       "Период с: 1.3.2008 по 31.3.2008\nВид: Доходы\n\nДата      Описание  Категория  Кол-во"
       "      Цена     Сумма\n01.03.08  Оклад     Работа       1.00  1,000.00  1,000.00\n\n"
       "Вх.ост: 0.00\nПриход: 1,000.00\nРасход: 0.00\nИтого: 1,000.00\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[2]);
    const CompanionRun run = device_.Run(c.args);
    EXPECT_EQ(run.exit_code, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, c.out);
  }
}

// A report reads its rows once and that reading is the check: on a store with a damaged page it
// fails and leaves the files as they are, where the program's own open still finds the damage
// and rebuilds the database from what reads.
TEST_P(CompanionProgramTest, AReportOnADamagedStoreFailsAndChangesNothing) {
  if (GetParam() != DriverKind::kObjectStore) GTEST_SKIP() << "pages of the store file";
  LoadHousehold(3000);
  device_.CloseDatabase();
  device_.root().env().CloseObjectStore();
  const std::string file = device_.root().HostPath(u"\\objects.sqlite");
  std::string bytes = ReadFile(file);
  ASSERT_GT(bytes.size(), 40u * 4096);
  const size_t middle = bytes.size() / 4096 / 2 * 4096;
  std::fill(bytes.begin() + middle, bytes.begin() + middle + 4 * 4096, '\xAB');
  WriteFile(file, bytes);

  const CompanionRun run = device_.Run({"report", "--year", "2015", "--group", "categories"});
  EXPECT_EQ(run.exit_code, kExitFailure);
  EXPECT_NE(run.err.find("не удалось прочитать"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(file), bytes);
  EXPECT_FALSE(device_.root().Exists(u"\\data"));

  OpenReport report;
  FinanceGlobals globals;
  FinanceDb db(device_.root().env(), device_.clock(), globals);
  ASSERT_EQ(db.Open(kDatabaseName, &report), 1);
  EXPECT_EQ(report.outcome, OpenOutcome::kSalvaged);
}

TEST_P(CompanionProgramTest, AWrongCommandLineIsAUsageError) {
  ASSERT_TRUE(device_.OpenDatabase());
  const std::vector<std::vector<std::string>> wrong = {
      {"frobnicate"},
      {"report", "--group", "weeks"},
      {"report", "--from", "2015-01-01"},
      {"report", "--month", "2015-13"},
      {"report", "--from", "2015-02-30", "--till", "2015-03-01"},
      {"report", "--from", "2015-03-02", "--till", "2015-03-01"},
      {"report", "--year"},
      {"export"},
      {"export", "pdf"},
      {"import"},
  };
  for (const std::vector<std::string>& args : wrong) {
    SCOPED_TRACE(args[0] + " " + (args.size() > 1 ? args[1] : ""));
    const CompanionRun run = device_.Run(args);
    EXPECT_EQ(run.exit_code, kExitUsage);
    EXPECT_NE(run.err.find("Использование:"), std::string::npos);
  }
  const CompanionRun help = device_.Run({"--help"});
  EXPECT_EQ(help.exit_code, kExitSuccess);
  EXPECT_NE(help.out.find("ldxload import"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Drivers, CompanionProgramTest, BothStorageKinds(), StorageKindName);

}  // namespace
}  // namespace ledgerix::testing
