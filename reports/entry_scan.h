#pragma once
// The entry scan of a report: every entry is read once; the entries dated before the period add
// into the incoming balance, each in-period entry gives one scratch row per kind carrying its
// kind id. The kinds and accounts are read once per report into a ReportCatalog, so the scan
// looks them up in hash maps instead of walking their tables for every entry.

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/db_string.h"
#include "finance/date_key.h"
#include "platform/clock.h"
#include "reports/periods.h"
#include "reports/report_context.h"
#include "reports/report_params.h"

namespace ledgerix {

// The fields of an entry ([sec_data]) a report reads; price and count as stored (packed).
struct StoredEntry {
  int32_t kind_id = 0;     // consumer_id
  int32_t date = 0;        // curdate, a DateKey
  int32_t price = 0;       // PackedAmount
  int32_t count = 0;       // PackedAmount
  int32_t type = 0;        // TypeCode
  int32_t account_id = 0;  // firm_id
};

// The fields of a kind ([sec_consumeritems]) a report reads.
struct StoredKind {
  int32_t id = 0;
  DbString description;  // descr
  DbString category;
};

// The fields of an account ([sec_firms]) a report reads.
struct StoredAccount {
  int32_t id = 0;
  DbString name;  // firmName
};

// The kinds and accounts of one report, indexed. Texts that are equal byte for byte get equal
// keys, so that rows group by integers.
class ReportCatalog {
 public:
  ReportCatalog() = default;
  // Kinds and accounts in table order.
  ReportCatalog(std::vector<StoredKind> kinds, std::vector<StoredAccount> accounts);
  ReportCatalog(const ReportCatalog&) = delete;
  ReportCatalog& operator=(const ReportCatalog&) = delete;
  ReportCatalog(ReportCatalog&&) = default;
  ReportCatalog& operator=(ReportCatalog&&) = default;

  // Every kind whose id equals `id`, in table order (duplicate ids give several).
  std::span<const uint32_t> KindsWithId(int32_t id) const;
  const StoredKind& Kind(uint32_t index) const { return kinds_[index]; }
  int32_t CategoryKey(uint32_t kind_index) const { return category_keys_[kind_index]; }
  // The name of the first account with a non-zero id equal to `id`; empty when none has it.
  const DbString& AccountName(int32_t id) const;
  // Equal for accounts whose names are equal (the empty name of an unknown account included).
  int32_t AccountNameKey(int32_t id) const;

 private:
  struct AccountSlot {
    uint32_t index;    // into accounts_
    int32_t name_key;  // of accounts_[index].name
  };

  std::vector<StoredKind> kinds_;
  std::vector<int32_t> category_keys_;
  std::unordered_map<int32_t, std::vector<uint32_t>> kinds_by_id_;
  std::vector<StoredAccount> accounts_;
  std::unordered_map<int32_t, AccountSlot> accounts_by_id_;
  int32_t empty_name_key_ = 0;
};

// One in-period entry under one of its kinds, with its amounts in hundredths (finance/money.h).
// Points into the catalog, which must outlive it.
struct ScratchRow {
  int32_t date_key = 0;
  DateParts date;  // of date_key: day, month, two-digit year
  int32_t kind_id = 0;
  const StoredKind* kind = nullptr;
  bool plus = false;  // the entry's "[+]" digit: "[+] " goes before the description
  int32_t category_key = 0;
  const DbString* account_name = nullptr;
  int32_t account_key = 0;
  int64_t count = 0;   // hundredths of a unit
  int64_t price = 0;   // hundredths, negative for spending
  int64_t amount = 0;  // the entry's own amount (EntryAmount), signed as the price
};

// What the scan selects: the period and the filters of the params and the current account.
struct ScanQuery {
  PeriodRange period{0, 0};
  int32_t report_type = kReportBalance;
  int32_t kind_filter_id = 0;
  DbString category_filter;
  int32_t current_account_id = 0;

  static ScanQuery Of(const ReportParams& params, const ReportContext& context,
                      const platform::Clock& clock);
};

struct EntryScan {
  int64_t incoming_balance = 0;  // hundredths: the signed amounts of the entries before the period
  // Ascending by the text of the date key (for six-digit keys: day, then month, then year);
  // rows of equal keys in table order.
  std::vector<ScratchRow> rows;
};

// Scans entries one at a time, in table order.
class EntryScanner {
 public:
  // The catalog must outlive the scanner and the rows it gives.
  EntryScanner(const ReportCatalog& catalog, ScanQuery query);

  // Makes room for `rows` scratch rows (a row per entry, when each kind id is used once).
  void Reserve(size_t rows) { scan_.rows.reserve(rows); }
  void Add(const StoredEntry& entry);
  // The balance and the rows in scratch order. The scanner is spent.
  EntryScan Finish();

 private:
  void AddRows(const StoredEntry& entry, int64_t sign);

  const ReportCatalog& catalog_;
  ScanQuery query_;
  EntryScan scan_;
};

// Scans `entries` in order with a fresh scanner.
EntryScan ScanEntryList(const ReportCatalog& catalog, const ScanQuery& query,
                        std::span<const StoredEntry> entries);

}  // namespace ledgerix
