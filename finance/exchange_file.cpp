// The exchange text file: the whole database as one text of sections, written for archives, the
// backup before a rebuild and the desktop companion, and read back section by section.
#include <string>

#include "access/db_connection.h"
#include "access/db_transaction.h"
#include "engine/atomic_file.h"
#include "engine/parse.h"
#include "finance/exchange_scanner.h"
#include "finance/file_contents.h"
#include "finance/finance_db.h"
#include "finance/record_access.h"

namespace ledgerix {
namespace {

constexpr char kLineEnd[] = "\r\n";

// The text of a field in the file: numbers in decimal, booleans as 0 or 1, texts unchanged.
void AppendValueText(const DbValue& value, DbValueType type, std::string* out) {
  switch (type) {
    case DbValueType::Bool8:
    case DbValueType::Bool32:
      *out += value.AsBool() ? '1' : '0';
      break;
    case DbValueType::Int16:
      *out += std::to_string(value.AsInt16());
      break;
    case DbValueType::Int32:
      *out += std::to_string(value.AsInt32());
      break;
    case DbValueType::Text:
      *out += value.CStr();
      break;
    default:
      *out += value.ToText().View();
      break;
  }
}

// Stores one value of the file into a field of the column type `type`.
void StoreValueText(const DbString& text, DbValueType type, DbValue* field) {
  switch (type) {
    case DbValueType::Bool8:
      field->SetBool8(static_cast<uint8_t>(ParseInt(text.CStr())));
      break;
    case DbValueType::Bool32:
      field->SetBool32(static_cast<uint32_t>(ParseInt(text.CStr())));
      break;
    case DbValueType::Int16:
      field->SetInt16(static_cast<int16_t>(ParseInt(text.CStr())));
      break;
    case DbValueType::Int32:
      field->SetInt32(ParseInt(text.CStr()));
      break;
    default:
      field->SetText(text);
      break;
  }
}

// True for the tables of the finance database, whose sections must load; a section of any other
// name is skipped.
bool IsFinanceTable(const DbString& name) {
  for (const char* table : {kKindsTable, kEntriesTable, kAccountsTable}) {
    if (name.View() == table) return true;
  }
  return false;
}

// Loads the sections of a file into the tables of one record set: each section empties its
// table and adds a row per data line. Sections of tables the database does not have are
// skipped. Each section's rows are added as a bulk load, which the drivers store together
// (one commit, one write of the table file) with the same result as row by row. Counts every
// failure: a row not stored, a bulk load not stored, a finance table that could not be emptied.
class TableLoader : public ExchangeSink {
 public:
  explicit TableLoader(DbRecordSet& record_set) : record_set_(record_set) {}

  void BeginSection(const DbString& name) override {
    EndSection();
    section_open_ = record_set_.OpenTable(name.CStr(), nullptr) && record_set_.DeleteAll() &&
                    record_set_.OpenTable(name.CStr(), nullptr);
    if (section_open_) {
      record_set_.BeginBulkLoad();
    } else if (IsFinanceTable(name)) {
      // Its rows cannot replace the old ones: the load as a whole fails.
      ++failures_;
    }
  }

  // Stores what the last section's bulk load held back; call after the scan.
  void EndSection() {
    if (section_open_ && !record_set_.EndBulkLoad()) ++failures_;
    section_open_ = false;
  }

  void Row(const std::vector<DbString>& values) override {
    if (!section_open_) return;
    if (!record_set_.AddNew()) {
      ++failures_;
      return;
    }
    DbRecord* record = record_set_.CurrentRecord(-1);
    if (record == nullptr) {
      static_cast<void>(record_set_.Delete());  // only leaves the adding state
      ++failures_;
      return;
    }
    // Values beyond the table's columns are ignored; columns without a value keep the
    // engine's empty value.
    uint32_t columns = record_set_.ColumnCount();
    for (uint32_t k = 0; k < values.size() && k < columns; ++k) {
      DbValue* field = record->FieldByIndex(k);
      const DbColumnDef* def = record_set_.ColumnDef(k);
      if (field != nullptr && def != nullptr) StoreValueText(values[k], def->Type(), field);
    }
    if (!RecordFitsSlot(record_set_, record)) {
      static_cast<void>(record_set_.Delete());  // only leaves the adding state
      ++failures_;
      return;
    }
    if (!record_set_.Update()) ++failures_;
  }

  int failures() const { return failures_; }

 private:
  DbRecordSet& record_set_;
  bool section_open_ = false;
  int failures_ = 0;
};

}  // namespace

int FinanceDb::AppendTableSection(const char* table_name, std::string* out) {
  std::unique_ptr<DbRecordSet> record_set = OpenTable(table_name);
  if (record_set == nullptr) return 0;
  // Built in a standard string: a DbString grows in small steps, which for ten years of
  // entries would copy the text over and over.
  std::string section(table_name);
  section += kLineEnd;
  record_set->MoveFirst();
  bool read = ForEachRow(*record_set, [&](DbRecord* record) {
    for (uint32_t i = 0; i < record->Count(); ++i) {
      const DbValue* field = record->FieldByIndex(i);
      const DbColumnDef* def = record_set->ColumnDef(i);
      if (field != nullptr && def != nullptr) AppendValueText(*field, def->Type(), &section);
      section += ';';
    }
    section += kLineEnd;
    return true;
  });
  if (!read) return 0;
  *out += section;
  return 1;
}

DbString FinanceDb::WriteTableSection(const char* table_name) {
  std::string section;
  if (!AppendTableSection(table_name, &section)) return DbString();
  return DbString(std::string_view(section));
}

int FinanceDb::BuildExchangeText(std::string* out) {
  if (!AppendTableSection(kKindsTable, out)) return 0;
  *out += kLineEnd;
  if (!AppendTableSection(kEntriesTable, out)) return 0;
  *out += kLineEnd;
  return AppendTableSection(kAccountsTable, out);
}

int FinanceDb::WriteExchangeFile(const DbString& path) {
  if (!IsOpen()) return 0;
  std::string text;
  // A table that cannot be read wholly fails the write: an archive that silently lacks rows
  // would restore as a smaller database.
  if (!BuildExchangeText(&text)) return 0;
  return ReplaceFileContent(env_, path, DbString(std::string_view(text)));
}

int FinanceDb::ReadExchangeFile(const DbString& path) {
  if (!IsOpen()) return 0;
  DbString text;
  if (!ReadWholeFile(env_, path, &text)) return 0;
  return LoadExchangeText(text);
}

int FinanceDb::RestoreExchangeFile(const DbString& path) { return ReadExchangeFile(path); }

int FinanceDb::LoadExchangeText(const DbString& text) {
  if (!IsOpen()) return 0;
  // One transaction over every table: the file is stored whole or not at all, also when the
  // program is killed on the way (the next start finds the tables as they were).
  DbTransaction transaction(connection_.get());
  if (!transaction.active()) return 0;
  {
    // One record set serves the whole file; it is gone, and its last bulk load ended, before
    // the commit.
    std::unique_ptr<DbRecordSet> record_set = connection_->CreateRecordSet(1);
    if (record_set == nullptr) return 0;
    TableLoader loader(*record_set);
    ScanExchangeText(text.View(), loader);
    loader.EndSection();
    if (loader.failures() > 0) return 0;
  }
  return transaction.Commit() ? 1 : 0;
}

}  // namespace ledgerix
