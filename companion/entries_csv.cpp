#include "companion/entries_csv.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "finance/date_key.h"
#include "finance/money.h"
#include "finance/packed_amount.h"
#include "finance/row_limits.h"
#include "finance/type_code.h"

namespace ledgerix {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";
constexpr char kHeader[] = "Дата,Направление,Вид,Категория,Счет,Количество,Цена,Сумма,Примечание";
constexpr size_t kFieldCount = 9;
constexpr char kIncomeWord[] = "Приход";
constexpr char kExpenseWord[] = "Расход";
constexpr char kPMark[] = "[P] ";
constexpr char kPlusMark[] = "[+] ";
// DateKey keeps two digits of the year, read as 20YY.
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2099;

bool NeedsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

// One record of the file with the line it starts on.
struct CsvRecord {
  size_t line = 0;
  std::vector<std::string> fields;
};

// Splits RFC 4180 text into records; CR LF and LF both end a record outside quotes. False with
// *error at a quoted field that never ends or a quote inside an unquoted field.
bool SplitRecords(std::string_view text, std::vector<CsvRecord>* records, LineError* error) {
  size_t line = 1;
  size_t i = 0;
  while (i < text.size()) {
    CsvRecord record;
    record.line = line;
    std::string field;
    bool ended = false;
    while (!ended) {
      field.clear();
      if (i < text.size() && text[i] == '"') {
        ++i;
        for (;;) {
          if (i >= text.size()) {
            *error = {record.line, "кавычки не закрыты"};
            return false;
          }
          const char c = text[i++];
          if (c == '"') {
            if (i < text.size() && text[i] == '"') {
              field += '"';
              ++i;
              continue;
            }
            break;
          }
          if (c == '\n') ++line;
          field += c;
        }
        if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          *error = {line, "после закрывающей кавычки ожидается запятая"};
          return false;
        }
      } else {
        while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          if (text[i] == '"') {
            *error = {line, "кавычка внутри поля без кавычек"};
            return false;
          }
          field += text[i++];
        }
      }
      record.fields.push_back(field);
      if (i >= text.size()) {
        ended = true;
      } else if (text[i] == ',') {
        ++i;
      } else {
        if (text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
        ++line;
        ended = true;
      }
    }
    records->push_back(std::move(record));
  }
  return true;
}

// A whole amount "123" or "123.4" or "123.45", not negative, that a PackedAmount holds.
bool ParseAmount(std::string_view text, int64_t* hundredths) {
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() || whole.size() > 9 || (point != std::string_view::npos && fraction.empty()) ||
      fraction.size() > 2) {
    return false;
  }
  int64_t value = 0;
  for (char c : whole) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  int64_t cents = 0;
  for (size_t k = 0; k < 2; ++k) {
    const char c = k < fraction.size() ? fraction[k] : '0';
    if (c < '0' || c > '9') return false;
    cents = cents * 10 + (c - '0');
  }
  *hundredths = value * 100 + cents;
  return *hundredths <= kMaxPackedHundredths;
}

bool ParseDigits(std::string_view text, int* out) {
  if (text.empty()) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  *out = value;
  return true;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD" of a real day from 2000 to 2099, as its DateKey.
bool ParseDate(std::string_view text, int32_t* key) {
  int year = 0;
  int month = 0;
  int day = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      !ParseDigits(text.substr(0, 4), &year) || !ParseDigits(text.substr(5, 2), &month) ||
      !ParseDigits(text.substr(8, 2), &day)) {
    return false;
  }
  if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  *key = BuildDateKey(day, month, year);
  return true;
}

// A text of the file in the database's code page; false when a character has no place there.
bool ToStoredText(const std::string& utf8, DbString* out) {
  *out = FromUtf8(utf8);
  return ToUtf8(*out) == utf8 && TextFitsExchange(*out);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The exchange line of an entry, a kind or an account: each value followed by ";".
class ExchangeLine {
 public:
  ExchangeLine& Int(int64_t value) {
    text_ += std::to_string(value);
    text_ += ';';
    return *this;
  }
  ExchangeLine& Text(const DbString& value) {
    text_ += value.View();
    text_ += ';';
    return *this;
  }
  std::string Finish() { return std::move(text_) + kLineEnd; }

 private:
  std::string text_;
};

// Kinds and accounts found by what the file names, with the new ones the file needs.
class Names {
 public:
  explicit Names(const DatabaseRows& current) {
    for (const KindRecord& kind : current.kinds) {
      const auto key = KindKey(kind.name, kind.category, kind.type);
      kinds_.emplace(key, kind.id);
      next_kind_id_ = std::max(next_kind_id_, kind.id + 1);
    }
    for (const AccountRecord& account : current.accounts) {
      if (account.id != 0) accounts_.emplace(std::string(account.name.View()), account.id);
      next_account_id_ = std::max(next_account_id_, account.id + 1);
    }
  }

  int32_t KindId(const DbString& name, const DbString& category, int direction) {
    const auto key = KindKey(name, category, direction);
    auto found = kinds_.find(key);
    if (found != kinds_.end()) return found->second;
    const int32_t id = next_kind_id_++;
    kinds_.emplace(key, id);
    new_kinds_ +=
        ExchangeLine().Int(id).Text(name).Text(category).Int(0).Int(direction).Int(0).Finish();
    ++new_kind_count_;
    return id;
  }

  // 0 for the empty name: the entry belongs to no account.
  int32_t AccountId(const DbString& name) {
    if (name.Length() == 0) return 0;
    auto found = accounts_.find(std::string(name.View()));
    if (found != accounts_.end()) return found->second;
    const int32_t id = next_account_id_++;
    accounts_.emplace(std::string(name.View()), id);
    new_accounts_ += ExchangeLine().Int(id).Text(name).Text(DbString()).Int(0).Finish();
    ++new_account_count_;
    return id;
  }

  const std::string& new_kinds() const { return new_kinds_; }
  const std::string& new_accounts() const { return new_accounts_; }
  size_t new_kind_count() const { return new_kind_count_; }
  size_t new_account_count() const { return new_account_count_; }

 private:
  using Key = std::pair<std::pair<std::string, std::string>, int>;
  static Key KindKey(const DbString& name, const DbString& category, int type) {
    return {{std::string(name.View()), std::string(category.View())}, type};
  }

  std::map<Key, int32_t> kinds_;
  std::map<std::string, int32_t> accounts_;
  int32_t next_kind_id_ = 1;
  int32_t next_account_id_ = 1;
  std::string new_kinds_;
  std::string new_accounts_;
  size_t new_kind_count_ = 0;
  size_t new_account_count_ = 0;
};

// One data line of the file as the entry it stands for; false with the reason.
bool ReadEntry(const CsvRecord& record, Names& names, std::string* line, std::string* reason) {
  const std::vector<std::string>& f = record.fields;
  if (f.size() != kFieldCount) {
    *reason =
        "ожидается " + std::to_string(kFieldCount) + " полей, а не " + std::to_string(f.size());
    return false;
  }
  int32_t date = 0;
  if (!ParseDate(f[0], &date)) {
    *reason = "дата «" + f[0] + "» не в виде ГГГГ-ММ-ДД или вне 2000–2099 годов";
    return false;
  }
  int direction = 0;
  if (f[1] == kIncomeWord) {
    direction = kIncome;
  } else if (f[1] == kExpenseWord) {
    direction = kExpense;
  } else {
    *reason = "направление «" + f[1] + "» не «Приход» и не «Расход»";
    return false;
  }
  std::string_view kind_text = f[2];
  int32_t type = direction;
  if (StartsWith(kind_text, kPMark)) {
    type += 10;
    kind_text.remove_prefix(std::size(kPMark) - 1);
  }
  if (StartsWith(kind_text, kPlusMark)) {
    type += 100;
    kind_text.remove_prefix(std::size(kPlusMark) - 1);
  }
  DbString kind;
  DbString category;
  DbString account;
  DbString note;
  if (!ToStoredText(std::string(kind_text), &kind) || !ToStoredText(f[3], &category) ||
      !ToStoredText(f[4], &account) || !ToStoredText(f[8], &note)) {
    *reason = "текст содержит «;», «[», «]», перевод строки или символ вне кодировки 1251";
    return false;
  }
  KindRecord kind_row;
  kind_row.name = kind;
  kind_row.category = category;
  AccountRecord account_row;
  account_row.name = account;
  EntryRecord entry_row;
  entry_row.note = note;
  if (!KindFits(kind_row) || !AccountFits(account_row) || !EntryFits(entry_row)) {
    *reason = "название или примечание слишком длинное";
    return false;
  }
  int64_t count = 0;
  int64_t price = 0;
  if (!ParseAmount(f[5], &count)) {
    *reason = "количество «" + f[5] + "» не число вида 12.50 или слишком велико";
    return false;
  }
  if (!ParseAmount(f[6], &price)) {
    *reason = "цена «" + f[6] + "» не число вида 12.50 или слишком велика";
    return false;
  }
  const int32_t kind_id = names.KindId(kind, category, direction);
  const int32_t account_id = names.AccountId(account);
  *line = ExchangeLine()
              .Int(kind_id)
              .Int(date)
              .Int(PackHundredths(price))
              .Int(PackHundredths(count))
              .Int(type)
              .Text(note)
              .Int(account_id)
              .Int(0)
              .Finish();
  return true;
}

}  // namespace

std::string CsvField(std::string_view text) {
  if (!NeedsQuotes(text)) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string EntriesCsvText(const DatabaseRows& rows) {
  // (day, line) pairs, sorted.
  std::vector<std::pair<uint32_t, std::string>> lines;
  lines.reserve(rows.entries.size());
  for (const StoredEntryRow& entry : rows.entries) {
    const KindRecord* kind = rows.KindOf(entry.kind_id);
    std::string kind_text;
    if (TypeHasP(entry.type)) kind_text += kPMark;
    if (TypeHasPlus(entry.type)) kind_text += kPlusMark;
    if (kind != nullptr) kind_text += ToUtf8(kind->name);
    const bool income = TypeDirection(entry.type) == kIncome;
    const int64_t amount = EntryAmount(entry.price, entry.count);
    std::string line = IsoDateOfKey(entry.date);
    line += ',';
    line += income ? kIncomeWord : kExpenseWord;
    for (const std::string& text :
         {kind_text, kind != nullptr ? ToUtf8(kind->category) : std::string(),
          ToUtf8(rows.AccountNameOf(entry.account_id)), PlainMoney(PackedHundredths(entry.count)),
          PlainMoney(PackedHundredths(entry.price)), PlainMoney(income ? amount : -amount),
          ToUtf8(entry.note)}) {
      line += ',';
      line += CsvField(text);
    }
    lines.emplace_back(DayOrdinal(entry.date), std::move(line));
  }
  std::sort(lines.begin(), lines.end());
  std::string text = kBom;
  text += kHeader;
  text += kLineEnd;
  for (const auto& [day, line] : lines) {
    text += line;
    text += kLineEnd;
  }
  return text;
}

bool PlanEntriesCsvImport(std::string_view csv, const DatabaseRows& current,
                          std::string_view kinds_section, std::string_view accounts_section,
                          CsvImportPlan* plan, LineError* error) {
  if (StartsWith(csv, kBom)) csv.remove_prefix(std::size(kBom) - 1);
  std::vector<CsvRecord> records;
  if (!SplitRecords(csv, &records, error)) return false;
  if (records.empty() || records[0].fields.size() != kFieldCount || [&] {
        std::string header;
        for (size_t k = 0; k < kFieldCount; ++k) header += (k ? "," : "") + records[0].fields[k];
        return header != kHeader;
      }()) {
    *error = {1, std::string("ожидается заголовок ") + kHeader};
    return false;
  }
  Names names(current);
  std::string entries;
  size_t count = 0;
  for (size_t r = 1; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    // An empty line (a spreadsheet may leave one at the end) holds no entry.
    if (record.fields.size() == 1 && record.fields[0].empty()) continue;
    std::string line;
    std::string reason;
    if (!ReadEntry(record, names, &line, &reason)) {
      *error = {record.line, reason};
      return false;
    }
    entries += line;
    ++count;
  }
  std::string text(kinds_section);
  text += names.new_kinds();
  text += kLineEnd;
  text += "[sec_data]";
  text += kLineEnd;
  text += entries;
  text += kLineEnd;
  text += accounts_section;
  text += names.new_accounts();
  *plan = {std::move(text), count, names.new_kind_count(), names.new_account_count()};
  return true;
}

}  // namespace ledgerix
