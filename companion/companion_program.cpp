#include "companion/companion_program.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "companion/database_rows.h"
#include "companion/entries_csv.h"
#include "companion/exchange_check.h"
#include "companion/journal_file.h"
#include "companion/report_output.h"
#include "engine/atomic_file.h"
#include "engine/db_file.h"
#include "engine/program_path.h"
#include "engine/settings_store.h"
#include "finance/backup_names.h"
#include "finance/finance_db.h"
#include "platform/instance_lock.h"
#include "reports/report_source.h"
#include "reports/statistics_captions.h"

namespace ledgerix {
namespace {

constexpr char kSettingsName[] = "tv_ledgrx";
// The width of the statistics list the columns are laid out for; the command line shows no
// widths, so any will do.
constexpr int kListWidth = 240;
// Where an import's text waits for the load, beside the archives.
constexpr char kImportTemporary[] = "data\\ldxload import.$$$";

constexpr char kUsage[] =
    "Использование:\n"
    "  ldxload\n"
    "      записать всю базу в папку Документы/Ledgerix: ledgerix.txt (файл обмена),\n"
    "      entries.csv (записи для электронной таблицы), ledgerix.journal (для hledger и ledger)\n"
    "  ldxload report [--from ГГГГ-ММ-ДД --till ГГГГ-ММ-ДД | --month ГГГГ-ММ | --year ГГГГ]\n"
    "                 [--group kinds|categories|accounts] [--rows day|month|year]\n"
    "                 [--type balance|income|expense] [--account ИД|ИМЯ] [--category ИМЯ]\n"
    "                 [--format table|csv|json]\n"
    "      статистика за период, как на экране статистики (по умолчанию последние 14 дней)\n"
    "  ldxload export exchange|csv|journal [--output ФАЙЛ]\n"
    "      один из трех файлов в ФАЙЛ или на стандартный вывод\n"
    "  ldxload import ФАЙЛ\n"
    "      загрузить файл обмена или entries.csv вместо текущих данных (целиком или никак);\n"
    "      текущие данные сначала сохраняются в архив; программа Ledgerix должна быть закрыта\n"
    "  ldxload --help\n"
    "Коды выхода: 0 успех, 1 ошибка, 2 неверная командная строка.\n";

struct Io {
  platform::PosixEnv& env;
  const platform::Clock& clock;
  std::ostream& out;
  std::ostream& err;
};

int UsageError(Io& io, const std::string& why) {
  io.err << "ldxload: " << why << "\n\n" << kUsage;
  return kExitUsage;
}

int Failure(Io& io, const std::string& why) {
  io.err << "ldxload: " << why << "\n";
  return kExitFailure;
}

std::string HostPathOf(const platform::PosixEnv& env, std::u16string_view device_path) {
  std::string host;
  return env.HostPath(device_path, &host) ? host : std::string();
}

// The program's settings, read only: which storage holds the database and whether reports
// show the account.
struct CompanionSettings {
  FinanceGlobals globals;
  int show_account_in_report = 0;
};

CompanionSettings ReadSettings(platform::Env& env) {
  CompanionSettings settings;
  SettingsStore store(env);
  // A store that does not load leaves the defaults: the object store, no account column.
  if (store.Bind(kSettingsName)) {
    if (store.ReadInt32("IS_SYSTEMTYPE_DB", 1) == 0) {
      settings.globals.storage_kind = DriverKind::kFileDatabase;
    }
    settings.show_account_in_report = store.ReadInt32("IS_SHOW_FIRM_IN_REPORT", 0) != 0 ? 1 : 0;
  }
  return settings;
}

// True when the data is open in the program that holds the device: the object store's log or
// the file database's journal lies beside it. Both are gone once the program hands the data over
// (it closes them before it starts the companion); while they are open, a second process must
// not touch the files: closing the store writes its log into the file and removes it under the
// program, whose later writes would then be lost.
bool DataOpenInProgram(const platform::PosixEnv& env) {
  std::error_code ignored;
  const std::string journal = HostPathOf(
      env, u"\\tolvena_db\\" + std::u16string(DbString(kDatabaseName).Wide()) + u".$jnl$");
  return std::filesystem::exists(env.ObjectStoreFile() + "-wal", ignored) ||
         (!journal.empty() && std::filesystem::exists(journal, ignored));
}

// The device and the open database for one command.
class Session {
 public:
  explicit Session(Io& io)
      : io_(io),
        settings_(ReadSettings(io.env)),
        lock_(io.env.options().device_root),
        db_(io.env, io.clock, settings_.globals) {}

  // Takes the device when it is free. False when the program (or another companion) holds it.
  bool TakeDevice() { return lock_.Acquire(); }

  // Opens the database; false after saying why. With FinanceDb::RowCheck::kOnRead (a command
  // that reads what it needs once and fails on a row that does not read) neither the store's
  // file nor the tables are read whole first.
  bool Open(FinanceDb::RowCheck rows = FinanceDb::RowCheck::kAtOpen) {
    if (!io_.env.Ready()) {
      Failure(io_, "папка данных программы недоступна: " + io_.env.options().device_root);
      return false;
    }
    if (lock_.HeldByAnother() && DataOpenInProgram(io_.env)) {
      Failure(io_,
              "программа Ledgerix работает с данными: передайте их из программы (Обмен данными, "
              "«Передать данные на ПК») или закройте ее");
      return false;
    }
    OpenReport report;
    if (rows == FinanceDb::RowCheck::kOnRead) {
      io_.env.SetObjectStoreOptions(platform::ObjectStoreOptions::ReadOnce());
    }
    const int opened = db_.Open(kDatabaseName, &report, rows);
    io_.env.SetObjectStoreOptions({});
    if (!opened) {
      std::string why = "не удалось открыть базу данных";
      if (report.failure.error != 0) {
        why += " (" + std::string(report.failure.call) + ", ошибка " +
               std::to_string(report.failure.error) + ")";
      }
      if (lock_.HeldByAnother()) why += "; возможно, ее держит запущенная программа Ledgerix";
      Failure(io_, why);
      return false;
    }
    return true;
  }

  FinanceDb& db() { return db_; }
  const CompanionSettings& settings() const { return settings_; }

 private:
  Io& io_;
  CompanionSettings settings_;
  platform::InstanceLock lock_;
  FinanceDb db_;
};

// --- The three files --------------------------------------------------------------------------

enum class FileKind { kExchange, kCsv, kJournal };

const std::map<std::string, FileKind>& FileKinds() {
  static const std::map<std::string, FileKind> kinds = {
      {"exchange", FileKind::kExchange}, {"csv", FileKind::kCsv}, {"journal", FileKind::kJournal}};
  return kinds;
}

// A table section with its data lines sorted by their text. The drivers keep entries of equal
// keys in no defined order (a restore may change it), so the exchange file the companion writes
// orders them itself: the same data always gives the same bytes.
std::string SortedSection(const std::string& section) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < section.size()) {
    const size_t end = section.find("\r\n", start);
    const size_t stop = end == std::string::npos ? section.size() : end + 2;
    lines.push_back(section.substr(start, stop - start));
    start = stop;
  }
  if (lines.size() > 1) std::sort(lines.begin() + 1, lines.end());
  std::string sorted;
  sorted.reserve(section.size());
  for (const std::string& line : lines) sorted += line;
  return sorted;
}

// The file's text; false when the database cannot be read whole.
bool FileText(FinanceDb& db, FileKind kind, const DatabaseRows* rows, std::string* text) {
  switch (kind) {
    case FileKind::kExchange: {
      std::string sections[3];
      const char* tables[3] = {kKindsTable, kEntriesTable, kAccountsTable};
      for (int t = 0; t < 3; ++t) {
        const DbString section = db.WriteTableSection(tables[t]);
        if (section.Length() == 0) return false;
        sections[t] = std::string(section.View());
      }
      *text = sections[0] + "\r\n" + SortedSection(sections[1]) + "\r\n" + sections[2];
      return true;
    }
    case FileKind::kCsv:
      *text = EntriesCsvText(*rows);
      return true;
    case FileKind::kJournal:
      *text = JournalText(*rows);
      return true;
  }
  return false;
}

int ExportAll(Io& io) {
  Session session(io);
  static_cast<void>(session.TakeDevice());  // the program may hold it while it waits for us
  if (!session.Open()) return kExitFailure;
  DatabaseRows rows;
  if (!ReadDatabaseRows(session.db(), &rows))
    return Failure(io, "не удалось прочитать базу данных");
  // Made when missing; a folder that cannot be made fails the writes below, which tell.
  static_cast<void>(io.env.CreateDirectory(u"\\My Documents"));
  static_cast<void>(io.env.CreateDirectory(kCompanionFolder));
  struct Target {
    const char16_t* name;
    FileKind kind;
  };
  const Target targets[] = {{u"\\ledgerix.txt", FileKind::kExchange},
                            {u"\\entries.csv", FileKind::kCsv},
                            {u"\\ledgerix.journal", FileKind::kJournal}};
  bool all = true;
  for (const Target& target : targets) {
    const std::u16string device_path = std::u16string(kCompanionFolder) + target.name;
    DbString path;
    path.AppendWide(device_path);
    std::string text;
    const bool written = FileText(session.db(), target.kind, &rows, &text) &&
                         ReplaceFileContent(io.env, path, DbString(std::string_view(text)));
    const std::string host = HostPathOf(io.env, device_path);
    if (written) {
      io.out << "Записан файл: " << host << "\n";
    } else {
      io.err << "ldxload: не удалось записать файл: " << host << "\n";
      all = false;
    }
  }
  return all ? kExitSuccess : kExitFailure;
}

// Writes `text` to the host file `path` through a temporary file renamed over it.
bool WriteHostFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".ldxload-tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.flush();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}

int ExportOne(Io& io, const std::vector<std::string>& args) {
  std::optional<FileKind> kind;
  std::string output;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--output" || args[i] == "-o") {
      if (i + 1 >= args.size()) return UsageError(io, "после --output нужен файл");
      output = args[++i];
    } else if (FileKinds().count(args[i]) && !kind) {
      kind = FileKinds().at(args[i]);
    } else {
      return UsageError(io, "неизвестный аргумент «" + args[i] + "»");
    }
  }
  if (!kind) return UsageError(io, "укажите файл: exchange, csv или journal");
  Session session(io);
  static_cast<void>(session.TakeDevice());
  if (!session.Open()) return kExitFailure;
  DatabaseRows rows;
  std::string text;
  if ((*kind != FileKind::kExchange && !ReadDatabaseRows(session.db(), &rows)) ||
      !FileText(session.db(), *kind, &rows, &text)) {
    return Failure(io, "не удалось прочитать базу данных");
  }
  if (output.empty()) {
    io.out << text;
    io.out.flush();
    return io.out ? kExitSuccess : Failure(io, "не удалось вывести файл");
  }
  if (!WriteHostFile(output, text)) return Failure(io, "не удалось записать файл: " + output);
  io.out << "Записан файл: " << output << "\n";
  return kExitSuccess;
}

// --- report -----------------------------------------------------------------------------------

bool ParseNumber(const std::string& text, int* out) {
  if (text.empty() || text.size() > 9) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  *out = value;
  return true;
}

// "YYYY-MM-DD", "YYYY-MM" or "YYYY" as year, month (0 when absent) and day (0 when absent).
bool ParseDay(const std::string& text, int parts, int* year, int* month, int* day) {
  *month = 0;
  *day = 0;
  const size_t expected = parts == 3 ? 10 : parts == 2 ? 7 : 4;
  if (text.size() != expected || !ParseNumber(text.substr(0, 4), year)) return false;
  if (parts >= 2 &&
      (text[4] != '-' || !ParseNumber(text.substr(5, 2), month) || *month < 1 || *month > 12)) {
    return false;
  }
  if (parts == 3 &&
      (text[7] != '-' || !ParseNumber(text.substr(8, 2), day) || *day < 1 || *day > 31)) {
    return false;
  }
  return *year >= 1970 && *year <= 2099;
}

int DaysIn(int year, int month) {
  const int next_year = month == 12 ? year + 1 : year;
  const int next_month = month == 12 ? 1 : month + 1;
  return static_cast<int>((platform::FromUtcTime({next_year, next_month, 1, 0, 0, 0, 0}) -
                           platform::FromUtcTime({year, month, 1, 0, 0, 0, 0})) /
                          86400);
}

// A moment whose local day on `clock` is the given day: its noon, moved by whole days when the
// time zone puts noon UTC on another day.
int64_t LocalDay(const platform::Clock& clock, int year, int month, int day) {
  const platform::LocalTime wanted{year, month, day, 12, 0, 0, 0};
  const int64_t target = platform::FromUtcTime(wanted);
  int64_t t = target;
  for (int step = 0; step < 3; ++step) {
    const platform::LocalTime local = clock.Local(t);
    const int64_t seen = platform::FromUtcTime({local.year, local.month, local.day, 12, 0, 0, 0});
    if (seen == target) break;
    t += target - seen;
  }
  return t;
}

template <typename T>
bool Choose(const std::string& text, const std::map<std::string, T>& choices, T* out) {
  auto found = choices.find(text);
  if (found == choices.end()) return false;
  *out = found->second;
  return true;
}

int Report(Io& io, const std::vector<std::string>& args) {
  ReportParams params = InitialReportParams(io.clock.Now());
  ReportFormat format = ReportFormat::kTable;
  std::string account;
  std::string from;
  std::string till;
  bool period_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name.rfind("--", 0) != 0 || i + 1 >= args.size()) {
      return UsageError(io, "неизвестный аргумент «" + name + "» или нет его значения");
    }
    const std::string& value = args[++i];
    int year = 0;
    int month = 0;
    int day = 0;
    bool ok = true;
    if (name == "--from") {
      from = value;
    } else if (name == "--till" || name == "--to") {
      till = value;
    } else if (name == "--month") {
      ok = !period_given && ParseDay(value, 2, &year, &month, &day);
      period_given = true;
      if (ok) {
        params.period_from = LocalDay(io.clock, year, month, 1);
        params.period_till = LocalDay(io.clock, year, month, DaysIn(year, month));
      }
    } else if (name == "--year") {
      ok = !period_given && ParseDay(value, 1, &year, &month, &day);
      period_given = true;
      if (ok) {
        params.period_from = LocalDay(io.clock, year, 1, 1);
        params.period_till = LocalDay(io.clock, year, 12, 31);
      }
    } else if (name == "--group") {
      ok = Choose<int32_t>(value,
                           {{"kinds", kGroupByKinds},
                            {"categories", kGroupByCategories},
                            {"accounts", kGroupByAccounts}},
                           &params.group_type);
    } else if (name == "--rows") {
      ok = Choose<int32_t>(value,
                           {{"day", kPeriodDay}, {"month", kPeriodMonth}, {"year", kPeriodYear}},
                           &params.period_type);
    } else if (name == "--type") {
      ok = Choose<int32_t>(
          value,
          {{"balance", kReportBalance}, {"income", kReportIncome}, {"expense", kReportSpending}},
          &params.report_type);
    } else if (name == "--format") {
      ok = Choose<ReportFormat>(value,
                                {{"table", ReportFormat::kTable},
                                 {"csv", ReportFormat::kCsv},
                                 {"json", ReportFormat::kJson}},
                                &format);
    } else if (name == "--account") {
      account = value;
    } else if (name == "--category") {
      params.category_filter = FromUtf8(value);
    } else {
      return UsageError(io, "неизвестный аргумент «" + name + "»");
    }
    if (!ok) return UsageError(io, "неверное значение «" + value + "» для " + name);
  }
  if (!from.empty() || !till.empty()) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (period_given || from.empty() || till.empty()) {
      return UsageError(io,
                        "период задается либо --from и --till вместе, либо --month, либо --year");
    }
    if (!ParseDay(from, 3, &year, &month, &day) || day > DaysIn(year, month)) {
      return UsageError(io, "неверная дата «" + from + "»");
    }
    params.period_from = LocalDay(io.clock, year, month, day);
    if (!ParseDay(till, 3, &year, &month, &day) || day > DaysIn(year, month)) {
      return UsageError(io, "неверная дата «" + till + "»");
    }
    params.period_till = LocalDay(io.clock, year, month, day);
    // The screen takes such a period as it comes and shows it empty; on a command line it is a
    // slip worth saying, not a report of nothing.
    if (params.period_till < params.period_from) {
      return UsageError(io, "начало периода " + from + " позже его конца " + till);
    }
  }

  Session session(io);
  static_cast<void>(session.TakeDevice());
  // The report reads every entry, kind and account it shows once, and fails on one that does
  // not read: that reading is the check.
  if (!session.Open(FinanceDb::RowCheck::kOnRead)) return kExitFailure;
  ReportContext context;
  // Grouping by accounts names the account in every row.
  context.show_account_in_report =
      params.group_type == kGroupByAccounts ? 1 : session.settings().show_account_in_report;
  context.current_account_name = FromUtf8("<<Любой>>");
  if (!account.empty()) {
    std::vector<AccountRecord> accounts;
    if (!session.db().LoadAccounts(&accounts)) return Failure(io, "не удалось прочитать счета");
    int id = 0;
    const bool numeric = ParseNumber(account, &id);
    const DbString name = FromUtf8(account);
    const AccountRecord* found = nullptr;
    for (const AccountRecord& row : accounts) {
      if (row.id != 0 && ((numeric && row.id == id) || row.name.View() == name.View())) {
        found = &row;
        break;
      }
    }
    if (found == nullptr) return Failure(io, "счет «" + account + "» не найден");
    context.current_account_id = found->id;
    context.current_account_name = found->name;
  }
  ReportTable table;
  if (!BuildReport(&session.db(), params, context, io.clock, kListWidth, &table)) {
    return Failure(io, "не удалось прочитать записи");
  }
  io.out << FormatReport(table, ComputeStatisticsCaptions(params, table, context, io.clock),
                         format);
  io.out.flush();
  return io.out ? kExitSuccess : Failure(io, "не удалось вывести отчет");
}

// --- import -----------------------------------------------------------------------------------

bool ReadHostFile(const std::string& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

bool LooksLikeCsv(const std::string& text) {
  return text.rfind("\xEF\xBB\xBF", 0) == 0 || text.rfind("Дата,", 0) == 0;
}

int Import(Io& io, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(io, "import ждет один файл");
  const std::string& file = args[0];
  Session session(io);
  if (!session.TakeDevice()) {
    return Failure(io,
                   "импорт невозможен, пока работает программа Ledgerix: закройте ее и "
                   "повторите импорт");
  }
  std::string text;
  if (!ReadHostFile(file, &text)) return Failure(io, "не удалось прочитать файл: " + file);
  if (!session.Open()) return kExitFailure;
  FinanceDb& db = session.db();
  std::string load;
  std::string what;
  LineError error;
  if (LooksLikeCsv(text)) {
    DatabaseRows rows;
    const DbString kinds = db.WriteTableSection(kKindsTable);
    const DbString accounts = db.WriteTableSection(kAccountsTable);
    if (!ReadDatabaseRows(db, &rows) || kinds.Length() == 0 || accounts.Length() == 0) {
      return Failure(io, "не удалось прочитать базу данных");
    }
    CsvImportPlan plan;
    if (!PlanEntriesCsvImport(text, rows, kinds.View(), accounts.View(), &plan, &error)) {
      return Failure(io, file + ", " + error.Text() + "; данные не изменены");
    }
    load = std::move(plan.exchange_text);
    what = "записей: " + std::to_string(plan.entries) +
           ", новых видов: " + std::to_string(plan.new_kinds) +
           ", новых счетов: " + std::to_string(plan.new_accounts);
  } else {
    if (!CheckExchangeText(text, &error)) {
      return Failure(io, file + ", " + error.Text() + "; данные не изменены");
    }
    load = std::move(text);
    what = "файл обмена";
  }
  // The data as it stands goes to an archive first, as the archives screen keeps it; nothing
  // is loaded unless that archive was written whole.
  if (!EnsureDataFolder(io.env))
    return Failure(io, "не удалось создать папку архивов; данные не изменены");
  const DbString archive = OlderLayoutBackupPath(io.env, io.clock);
  if (!db.WriteExchangeFile(archive)) {
    return Failure(io, "не удалось сохранить текущие данные в архив; данные не изменены");
  }
  io.out << "Текущие данные сохранены в архив: " << HostPathOf(io.env, archive.Wide()) << "\n";
  const DbString temporary = ProgramPath(io.env, DbString(kImportTemporary));
  const bool loaded = ReplaceFileContent(io.env, temporary, DbString(std::string_view(load))) &&
                      db.ReadExchangeFile(temporary);
  static_cast<void>(io.env.Delete(temporary.Wide()));
  if (!loaded) return Failure(io, "не удалось загрузить файл; данные не изменены");
  io.out << "Импорт завершен (" << what << ").\n";
  return kExitSuccess;
}

}  // namespace

int RunCompanion(const std::vector<std::string>& args, platform::PosixEnv& env,
                 const platform::Clock& clock, std::ostream& out, std::ostream& err) {
  Io io{env, clock, out, err};
  if (args.empty()) return ExportAll(io);
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kExitSuccess;
  }
  if (command == "report") return Report(io, rest);
  if (command == "export") return ExportOne(io, rest);
  if (command == "import") return Import(io, rest);
  return UsageError(io, "неизвестная команда «" + command + "»");
}

}  // namespace ledgerix
