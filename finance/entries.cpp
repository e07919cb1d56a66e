// The operations on entries ([sec_data]): adding one, deleting a selection, and the entry list
// of one day.
#include <vector>

#include "access/db_connection.h"
#include "access/db_transaction.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/format_amount.h"
#include "finance/money.h"
#include "finance/packed_amount.h"
#include "finance/record_access.h"
#include "finance/record_match.h"
#include "finance/row_limits.h"
#include "finance/type_code.h"

namespace ledgerix {
namespace {

// The fields of an entry row that the selections test.
struct EntryRow {
  int32_t kind_id = 0;
  int32_t date = 0;
  int32_t price = 0;
  int32_t count = 0;
  int32_t type = 0;
  int32_t account_id = 0;
};

// The entry columns' places in an open record set, found by name once per walk rather than
// on every row; -1 for a column the table lacks (its field then reads as 0 or empty).
struct EntryColumns {
  explicit EntryColumns(const DbRecordSet& record_set)
      : kind_id(record_set.ColumnIndex(col::kConsumerId)),
        date(record_set.ColumnIndex(col::kCurDate)),
        price(record_set.ColumnIndex(col::kPrice)),
        count(record_set.ColumnIndex(col::kCount)),
        type(record_set.ColumnIndex(col::kType)),
        account_id(record_set.ColumnIndex(col::kFirmId)),
        currency_id(record_set.ColumnIndex(col::kCurrencyId)),
        note(record_set.ColumnIndex(col::kNote)) {}

  // The columns that ReadEntryRow reads.
  uint64_t RowColumns() const { return ColumnSet({kind_id, date, price, count, type, account_id}); }

  int kind_id, date, price, count, type, account_id, currency_id, note;
};

int32_t IntAt(DbRecord* record, int index) {
  return index < 0 ? 0 : IntFieldAt(record, static_cast<uint32_t>(index));
}

EntryRow ReadEntryRow(DbRecord* record, const EntryColumns& columns) {
  EntryRow row;
  row.kind_id = IntAt(record, columns.kind_id);
  row.date = IntAt(record, columns.date);
  row.price = IntAt(record, columns.price);
  row.count = IntAt(record, columns.count);
  row.type = IntAt(record, columns.type);
  row.account_id = IntAt(record, columns.account_id);
  return row;
}

EntryRecord ReadEntryRecord(DbRecord* record, const EntryColumns& columns) {
  const EntryRow row = ReadEntryRow(record, columns);
  EntryRecord entry;
  entry.date = row.date;
  entry.price = static_cast<double>(PackedHundredths(row.price)) / 100;
  entry.count = static_cast<double>(PackedHundredths(row.count)) / 100;
  entry.kind_id = row.kind_id;
  entry.type = row.type;
  entry.mark = TypeHasPlus(row.type) ? 1 : 0;
  entry.account_id = row.account_id;
  entry.currency_id = IntAt(record, columns.currency_id);
  if (columns.note >= 0) entry.note = TextFieldAt(record, static_cast<uint32_t>(columns.note));
  return entry;
}

bool MatchesForDelete(const EntryRow& row, const EntryFilter& filter, int32_t account_id) {
  if (filter.kind_id != 0 && row.kind_id != filter.kind_id) return false;
  if (filter.type != 0 && (filter.type & 0xFF) != row.type % 10) return false;
  if (filter.date != 0 && row.date != filter.date) return false;
  return account_id == 0 || row.account_id == account_id;
}

bool MatchesDay(const EntryRow& row, const EntryFilter& filter) {
  if ((filter.type & 0xFF) != row.type % 10) return false;
  if (filter.date != 0 && row.date != filter.date) return false;
  return filter.account_id == 0 || row.account_id == filter.account_id;
}

// Sets the fields of an entry row from `entry` (amounts packed).
bool SetEntryFields(DbRecord* record, const EntryRecord& entry) {
  return SetIntField(record, col::kConsumerId, entry.kind_id) &&
         SetIntField(record, col::kCurDate, entry.date) &&
         SetIntField(record, col::kPrice, PackAmount(entry.price)) &&
         SetIntField(record, col::kCount, PackAmount(entry.count)) &&
         SetIntField(record, col::kType, entry.type) &&
         SetIntField(record, col::kFirmId, entry.account_id) &&
         SetTextField(record, col::kNote, entry.note) &&
         SetIntField(record, col::kCurrencyId, entry.currency_id);
}

// The 0-based positions of the rows of the open entries table that MatchesForDelete selects,
// in table order. False when a row could not be read: it might be one of them.
bool MatchingEntryRows(DbRecordSet& record_set, const EntryFilter& filter, int32_t account_id,
                       std::vector<uint32_t>* out) {
  const EntryColumns columns(record_set);
  uint32_t position = 0;
  return ScanEveryRow(
      record_set,
      [&](DbRecord* record) {
        if (MatchesForDelete(ReadEntryRow(record, columns), filter, account_id)) {
          out->push_back(position);
        }
        ++position;
        return true;
      },
      columns.RowColumns());
}

// "[P][+]name": the "[+]" flag nearest the name, the "[P]" flag in front of it.
DbString KindCaption(const KindRecord& kind, int32_t type) {
  DbString caption;
  if (TypeHasP(type)) caption.Append("[P]");
  if (TypeHasPlus(type)) caption.Append("[+]");
  caption.AppendString(kind.name);
  return caption;
}

DbString Decimal(int32_t value) {
  DbString text;
  text.Format("%d", value);
  return text;
}

}  // namespace

int FinanceDb::AddEntry(const EntryRecord& entry) {
  return EntryCanBeStored(entry) && StoreEntry(entry) ? 1 : 0;
}

bool FinanceDb::StoreEntry(const EntryRecord& entry) {
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  if (record_set == nullptr || !record_set->AddNew()) return false;
  return SetEntryFields(record_set->CurrentRecord(-1), entry) && record_set->Update() != 0;
}

int FinanceDb::DeleteEntries(const EntryFilter& filter) {
  DbTransaction transaction(connection_.get(), DbTransaction::Mode::kJoinOrBegin);
  if (!transaction.active()) return 0;
  return DeleteMatchingEntries(filter, globals_.current_account_id) && transaction.Commit() ? 1 : 0;
}

bool FinanceDb::DeleteMatchingEntries(const EntryFilter& filter, int32_t account_id) {
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  if (record_set == nullptr) return false;
  std::vector<uint32_t> matching;
  return MatchingEntryRows(*record_set, filter, account_id, &matching) &&
         (matching.empty() || record_set->ReplaceRows(matching, 0, nullptr));
}

DaySaveResult FinanceDb::ReplaceDayEntries(const EntryFilter& day,
                                           const std::vector<EntryRecord>& rows,
                                           size_t* refused_row) {
  // A day is one date and one direction: a filter of 0 would reach every day or both.
  if (day.date == 0 || (day.type != kIncome && day.type != kExpense)) {
    return DaySaveResult::kFailed;
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (EntryCanBeStored(rows[i])) continue;
    if (refused_row != nullptr) *refused_row = i;
    return DaySaveResult::kRowRefused;
  }
  DbTransaction transaction(connection_.get());
  if (!transaction.active()) return DaySaveResult::kFailed;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  if (record_set == nullptr) return DaySaveResult::kFailed;
  EntryFilter selection;
  selection.date = day.date;
  selection.type = day.type;
  std::vector<uint32_t> stored;
  if (!MatchingEntryRows(*record_set, selection, globals_.current_account_id, &stored)) {
    return DaySaveResult::kFailed;
  }
  // The day's stored rows go and its list's rows come in as one change of the table.
  const bool replaced = record_set->ReplaceRows(
      stored, rows.size(),
      [&](size_t i, DbRecord* record) { return SetEntryFields(record, rows[i]); });
  record_set.reset();
  return replaced && transaction.Commit() ? DaySaveResult::kSaved : DaySaveResult::kFailed;
}

bool FinanceDb::LoadDayEntries(const EntryFilter& filter, std::vector<EntryRecord>* out) {
  out->clear();
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  if (record_set == nullptr) return false;
  // The walk reads the few fields that select the day's entries; only those are read whole,
  // their notes included.
  const EntryColumns columns(*record_set);
  bool whole = false;  // the row being visited has been read whole
  const bool read = ScanEveryRow(
      *record_set,
      [&](DbRecord* record) {
        if (!MatchesDay(ReadEntryRow(record, columns), filter)) return ScanStep::kNext;
        whole = !whole;
        if (whole) return ScanStep::kWholeRow;
        out->push_back(ReadEntryRecord(record, columns));
        return ScanStep::kNext;
      },
      columns.RowColumns());
  if (!read) out->clear();
  return read;
}

bool FinanceDb::ListEntriesForDay(const EntryFilter& filter, ListControl* list) {
  if (list == nullptr) return false;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kEntriesTable);
  if (record_set == nullptr) return false;
  list->DeleteAllItems();
  // Kinds and accounts are read once for the whole list instead of once per entry.
  std::vector<KindRecord> kinds;
  std::vector<AccountRecord> accounts;
  if (!LoadKinds(&kinds)) return false;
  const bool show_account = globals_.show_account_in_actions != 0;
  // Without the accounts the entries are listed all the same, their account names empty.
  const bool accounts_read = !show_account || LoadAccounts(&accounts);
  int shown = 0;
  const EntryColumns columns(*record_set);
  const bool entries_read = ScanEveryRow(
      *record_set,
      [&](DbRecord* record) {
        EntryRow row = ReadEntryRow(record, columns);
        if (!MatchesDay(row, filter)) return true;
        const KindRecord* kind = FindKindIn(kinds, row.kind_id, filter.type, DbString());
        if (kind == nullptr) return true;
        ++shown;
        int item = list->InsertItem(DbString(), TypeHasPlus(row.type) ? 0 : 1, kind->id);
        int column = 1;
        list->SetItemText(item, column++, Decimal(shown));
        if (show_account) {
          const AccountRecord* account = FindAccountIn(accounts, row.account_id, DbString());
          list->SetItemText(item, column++, account != nullptr ? account->name : DbString());
        }
        list->SetItemText(item, column++, KindCaption(*kind, row.type));
        list->SetItemText(item, column++, FormatMoney(PackedHundredths(row.count)));
        list->SetItemText(item, column++, FormatMoney(PackedHundredths(row.price)));
        list->SetItemText(item, column++, FormatMoney(EntryAmount(row.price, row.count)));
        list->SetItemText(item, column++, FormatAmount(row.account_id, 0));
        return true;
      },
      columns.RowColumns());
  return accounts_read && entries_read;
}

}  // namespace ledgerix
