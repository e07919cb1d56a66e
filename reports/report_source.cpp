#include "reports/report_source.h"

#include <memory>
#include <utility>
#include <vector>

#include "access/db_connection.h"
#include "reports/report_builder.h"

namespace ledgerix {
namespace {

// Reads the columns of a table by the index of their names, found once per table. A column
// the table lacks reads as 0 or as the empty text.
class ColumnReader {
 public:
  ColumnReader(const DbRecordSet& records, std::initializer_list<const char*> names) {
    for (const char* name : names) indices_.push_back(records.ColumnIndex(name));
  }

  int32_t Int(DbRecord* record, size_t column) const {
    const DbValue* value = Field(record, column);
    return value != nullptr ? value->AsInt32() : 0;
  }
  DbString Text(DbRecord* record, size_t column) const {
    const DbValue* value = Field(record, column);
    return value != nullptr ? DbString(value->CStr()) : DbString();
  }

 private:
  const DbValue* Field(DbRecord* record, size_t column) const {
    const int index = indices_[column];
    if (record == nullptr || index < 0) return nullptr;
    return record->FieldByIndex(static_cast<uint32_t>(index));
  }

  std::vector<int> indices_;
};

// Calls `read` with the current record of every row of an open record set, then closes it.
// False when a row could not be fetched: the rows read are then not the whole table.
template <typename Read>
bool ForEachRow(DbRecordSet* records, Read read) {
  bool whole = true;
  while (records->IsEOF() == 0) {
    DbRecord* record = records->CurrentRecord(-1);
    if (record == nullptr) {
      whole = false;
      break;
    }
    read(record);
    if (records->MoveNext() == 0) break;
  }
  records->Close();
  return whole;
}

std::vector<StoredKind> ReadKinds(FinanceDb& db) {
  std::vector<StoredKind> kinds;
  std::unique_ptr<DbRecordSet> records = db.OpenKindsFiltered(0, DbString(), 0);
  if (records == nullptr) return kinds;
  const ColumnReader columns(*records, {"id", "descr", "category"});
  ForEachRow(records.get(), [&](DbRecord* record) {
    kinds.push_back({columns.Int(record, 0), columns.Text(record, 1), columns.Text(record, 2)});
  });
  return kinds;
}

std::vector<StoredAccount> ReadAccounts(FinanceDb& db) {
  std::vector<StoredAccount> accounts;
  std::unique_ptr<DbRecordSet> records = db.OpenAccounts();
  if (records == nullptr) return accounts;
  const ColumnReader columns(*records, {"id", "firmName"});
  ForEachRow(records.get(), [&](DbRecord* record) {
    accounts.push_back({columns.Int(record, 0), columns.Text(record, 1)});
  });
  return accounts;
}

}  // namespace

ReportCatalog ReadReportCatalog(FinanceDb& db) {
  std::vector<StoredKind> kinds = ReadKinds(db);
  return ReportCatalog(std::move(kinds), ReadAccounts(db));
}

std::optional<EntryScan> ScanEntries(FinanceDb& db, const ReportCatalog& catalog,
                                     const ScanQuery& query) {
  DbConnection* connection = db.Connection();
  if (connection == nullptr || connection->IsOpen() == 0) return std::nullopt;
  std::unique_ptr<DbRecordSet> records = connection->CreateRecordSet(1);
  if (records == nullptr || records->OpenTable(kEntriesTable, nullptr) == 0) return std::nullopt;
  const ColumnReader columns(*records,
                             {"consumer_id", "curdate", "price", "count", "type", "firm_id"});
  EntryScanner scanner(catalog, query);
  const bool whole = ForEachRow(records.get(), [&](DbRecord* record) {
    scanner.Add({columns.Int(record, 0), columns.Int(record, 1), columns.Int(record, 2),
                 columns.Int(record, 3), columns.Int(record, 4), columns.Int(record, 5)});
  });
  // A report over part of the entries would look complete; better none.
  if (!whole) return std::nullopt;
  return scanner.Finish();
}

int BuildReport(FinanceDb* db, const ReportParams& params, const ReportContext& context,
                const platform::Clock& clock, int client_width, ReportTable* table) {
  if (db == nullptr || !db->IsOpen()) return 0;
  const ReportCatalog catalog = ReadReportCatalog(*db);
  std::optional<EntryScan> scan = ScanEntries(*db, catalog, ScanQuery::Of(params, context, clock));
  if (!scan.has_value()) {
    EntryScan nothing;
    nothing.incoming_balance = table->totals.incoming_balance;
    AssembleReport(nothing, params, context, client_width, table);
    return 0;
  }
  AssembleReport(*scan, params, context, client_width, table);
  return 1;
}

}  // namespace ledgerix
