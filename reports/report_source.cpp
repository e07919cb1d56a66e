#include "reports/report_source.h"

#include <memory>
#include <utility>
#include <vector>

#include "finance/record_access.h"
#include "reports/report_builder.h"

namespace ledgerix {
namespace {

// The entry columns the scan reads, in the order of StoredEntry's fields.
constexpr const char* kEntryColumns[] = {"consumer_id", "curdate", "price",
                                         "count",       "type",    "firm_id"};

// A column's field in a row; 0 for a column the table lacks.
int32_t IntAtIndex(DbRecord* record, int index) {
  return index < 0 ? 0 : IntFieldAt(record, static_cast<uint32_t>(index));
}

}  // namespace

std::optional<ReportCatalog> ReadReportCatalog(FinanceDb& db) {
  std::vector<KindRecord> kind_records;
  if (!db.LoadKinds(&kind_records)) return std::nullopt;
  std::vector<StoredKind> kinds;
  kinds.reserve(kind_records.size());
  for (KindRecord& kind : kind_records) {
    kinds.push_back({kind.id, std::move(kind.name), std::move(kind.category)});
  }
  std::vector<AccountRecord> account_records;
  // The rows stay right without the names: an entry whose account was not read shows none.
  static_cast<void>(db.LoadAccounts(&account_records));
  std::vector<StoredAccount> accounts;
  accounts.reserve(account_records.size());
  for (AccountRecord& account : account_records) {
    accounts.push_back({account.id, std::move(account.name)});
  }
  return ReportCatalog(std::move(kinds), std::move(accounts));
}

std::optional<EntryScan> ScanEntries(FinanceDb& db, const ReportCatalog& catalog,
                                     const ScanQuery& query) {
  std::unique_ptr<DbRecordSet> records = OpenTableRecordSet(db.Connection(), kEntriesTable);
  if (records == nullptr) return std::nullopt;
  // The columns are found by name once, not on every row.
  int index[std::size(kEntryColumns)];
  for (size_t i = 0; i < std::size(kEntryColumns); ++i) {
    index[i] = records->ColumnIndex(kEntryColumns[i]);
  }
  EntryScanner scanner(catalog, query);
  // Room for a row per entry at once: growing step by step would copy the rows again and again.
  scanner.Reserve(records->RowCount());
  const bool whole = ScanEveryRow(
      *records,
      [&](DbRecord* record) {
        scanner.Add({IntAtIndex(record, index[0]), IntAtIndex(record, index[1]),
                     IntAtIndex(record, index[2]), IntAtIndex(record, index[3]),
                     IntAtIndex(record, index[4]), IntAtIndex(record, index[5])});
        return true;
      },
      ColumnSet({index[0], index[1], index[2], index[3], index[4], index[5]}));
  // A report over part of the entries would look complete; better none.
  if (!whole) return std::nullopt;
  return scanner.Finish();
}

int BuildReport(FinanceDb* db, const ReportParams& params, const ReportContext& context,
                const platform::Clock& clock, int client_width, ReportTable* table) {
  if (db == nullptr || !db->IsOpen()) return 0;
  // The rows of the last report go before the entries are read, not after: every path below
  // replaces them anyway, and the allocator then serves the new rows from their memory rather
  // than holding both reports at once.
  table->rows.clear();
  const std::optional<ReportCatalog> catalog = ReadReportCatalog(*db);
  std::optional<EntryScan> scan;
  if (catalog.has_value()) scan = ScanEntries(*db, *catalog, ScanQuery::Of(params, context, clock));
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
