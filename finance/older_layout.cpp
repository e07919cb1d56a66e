#include "finance/older_layout.h"

#include <vector>

#include "engine/parse.h"
#include "finance/exchange_scanner.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/packed_amount.h"
#include "finance/rebuild_text.h"

namespace ledgerix {
namespace {

// The columns of the older entries table, all whole numbers.
constexpr const char* kOlderEntryColumns[] = {col::kConsumerId, col::kCurDate, col::kPrice,
                                              col::kCount, col::kType};
// Where the account the older entries all belonged to goes in a converted entry.
constexpr int32_t kCashAccountId = 1;

bool SameTable(const DbTableSchema& stored, const DbTableSchema& expected) {
  if (stored.columns.size() != expected.columns.size()) return false;
  for (size_t i = 0; i < stored.columns.size(); ++i) {
    if (!stored.columns[i]->Name().Equals(expected.columns[i]->Name()) ||
        stored.columns[i]->Type() != expected.columns[i]->Type()) {
      return false;
    }
  }
  return true;
}

// True when `catalog` holds exactly the tables of `expected`, each with its columns.
bool SameTables(const DbSchema& catalog, const DbSchema& expected) {
  if (catalog.Count() != expected.Count()) return false;
  for (uint32_t i = 0; i < expected.Count(); ++i) {
    const DbTableSchema* stored = catalog.Find(expected.At(i)->name);
    if (stored == nullptr || !SameTable(*stored, *expected.At(i))) return false;
  }
  return true;
}

DbTableSchema CopyOf(const DbTableSchema& table) {
  DbTableSchema copy(table.name);
  for (const auto& column : table.columns) copy.AddColumn(column->Name(), column->Type());
  return copy;
}

// Keeps the rows of an older exchange text by section.
class OlderRows : public ExchangeSink {
 public:
  void BeginSection(const DbString& name) override {
    current_ = name.Equals(DbString(kKindsTable))      ? &kinds
               : name.Equals(DbString(kEntriesTable))  ? &entries
               : name.Equals(DbString(kAccountsTable)) ? &accounts
                                                       : nullptr;
  }
  void Row(const std::vector<DbString>& values) override {
    if (current_ != nullptr) current_->push_back(values);
  }

  std::vector<std::vector<DbString>> kinds;
  std::vector<std::vector<DbString>> entries;
  std::vector<std::vector<DbString>> accounts;

 private:
  std::vector<std::vector<DbString>>* current_ = nullptr;
};

DbString Number(int32_t value) { return DbString(std::string_view(std::to_string(value))); }

// An older entry in the current layout.
std::vector<DbString> ConvertEntry(std::vector<DbString> older) {
  older.resize(std::size(kOlderEntryColumns));
  // The older count was a whole number of units stored as it was: n becomes the amount n.00.
  const double count = UnpackAmount(ParseInt(older[3].CStr())) * 100;
  if (CanPackAmount(count)) older[3] = Number(PackAmount(count));
  older.emplace_back("");                   // note
  older.push_back(Number(kCashAccountId));  // firm_id
  older.push_back(Number(0));               // currency_id
  return older;
}

// Adds the rows that fit the table to the text; counts the others.
void AddSection(const DbTableSchema& table, const std::vector<std::vector<DbString>>& rows,
                RebuildText* text, RowCounts* left_out) {
  text->BeginSection(table.name);
  uint32_t& left = (*left_out)[std::string(table.name.View())];
  for (const std::vector<DbString>& row : rows) {
    if (RowFitsTable(table, row)) {
      text->AddRow(row);
    } else {
      ++left;
    }
  }
}

}  // namespace

DbSchema OlderLayoutSchema(bool with_accounts) {
  const DbSchema current = BuildFinanceSchema();
  DbSchema older;
  older.Append(CopyOf(*current.Find(DbString(kKindsTable))));
  DbTableSchema& entries = older.AddTable(DbString(kEntriesTable));
  for (const char* column : kOlderEntryColumns) entries.AddColumn(column, DbValueType::Int32);
  if (with_accounts) older.Append(CopyOf(*current.Find(DbString(kAccountsTable))));
  return older;
}

StoredLayout ClassifyLayout(const DbSchema& catalog) {
  if (SameTables(catalog, BuildFinanceSchema())) return StoredLayout::kCurrent;
  if (SameTables(catalog, OlderLayoutSchema(true)) ||
      SameTables(catalog, OlderLayoutSchema(false))) {
    return StoredLayout::kOlder;
  }
  return StoredLayout::kUnknown;
}

std::string ConvertOlderLayoutText(std::string_view older_text, RowCounts* left_out) {
  left_out->clear();
  OlderRows rows;
  ScanExchangeText(older_text, rows);
  std::vector<std::vector<DbString>> entries;
  entries.reserve(rows.entries.size());
  for (const std::vector<DbString>& entry : rows.entries) entries.push_back(ConvertEntry(entry));
  // Everything belonged to the cash account, which the older layout did not list.
  bool has_cash = false;
  for (const std::vector<DbString>& account : rows.accounts) {
    has_cash = has_cash || (!account.empty() && ParseInt(account[0].CStr()) == kCashAccountId);
  }
  if (!has_cash) {
    rows.accounts.insert(rows.accounts.begin(),
                         {Number(kCashAccountId), FromUtf8("Наличные"), DbString(), Number(0)});
  }
  const DbSchema schema = BuildFinanceSchema();
  RebuildText text;
  AddSection(*schema.Find(DbString(kKindsTable)), rows.kinds, &text, left_out);
  text.EndSection();
  AddSection(*schema.Find(DbString(kEntriesTable)), entries, &text, left_out);
  text.EndSection();
  AddSection(*schema.Find(DbString(kAccountsTable)), rows.accounts, &text, left_out);
  return text.text();
}

}  // namespace ledgerix
