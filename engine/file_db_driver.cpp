#include "engine/file_db_driver.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/atomic_file.h"
#include "engine/catalog_file.h"
#include "engine/database_folder.h"
#include "engine/db_column_def.h"
#include "engine/db_file.h"
#include "engine/db_record_set.h"

namespace ledgerix {
namespace {

DbString TablePath(platform::Env& env, const DbString& table_name) {
  return DatabaseFilePath(env, table_name, kTableFileExtension);
}

bool FileExists(platform::Env& env, const DbString& path) {
  DbFile file(env, path, kAccessRead, platform::kDispositionOpenExisting, kShareReadWrite);
  return file.IsOpen();
}

}  // namespace

FileDbDriver::FileDbDriver(platform::Env& env) : env_(env) {}

FileDbDriver::~FileDbDriver() { Close(); }

// ---- The database ----

int FileDbDriver::Open(const DbString& connection_string) {
  Close();
  // The tables are put back before anything reads them, catalog or not.
  auto journal = std::make_shared<TableJournal>(env_, connection_string, &generations_);
  if (!journal->Recover()) return 0;
  auto catalog = std::make_unique<DbSchema>();
  if (!ReadCatalog(env_, connection_string, catalog.get())) return 0;
  CreateMissingTableFiles(env_, *catalog);
  catalog_ = std::move(catalog);
  journal_ = std::move(journal);
  return 1;
}

int FileDbDriver::Close() {
  if (journal_ != nullptr) {
    journal_->Close();
    journal_.reset();
  }
  if (catalog_ == nullptr) return 0;
  catalog_.reset();
  return 1;
}

int FileDbDriver::BeginTransaction() {
  return catalog_ != nullptr && journal_ != nullptr ? journal_->Begin() : 0;
}

int FileDbDriver::CommitTransaction() { return journal_ != nullptr ? journal_->Commit() : 0; }

int FileDbDriver::RollbackTransaction() { return journal_ != nullptr ? journal_->Rollback() : 0; }

bool FileDbDriver::InTransaction() const {
  return journal_ != nullptr && journal_->InTransaction();
}

void FileDbDriver::BuildQuery(DbString* out_text, const char* table_name, const char* condition) {
  (void)condition;
  if (out_text != nullptr) *out_text = DbString(table_name);
}

int FileDbDriver::CreateDatabase(const DbString& name, const DbSchema& schema) {
  if (name.Length() == 0) return 0;
  const DbString catalog_path = CatalogPath(env_, name);
  if (FileExists(env_, catalog_path)) return 0;
  // A journal of an earlier database of that name would put its bytes into the new tables.
  const DbString journal_path = TableJournal::PathFor(env_, name);
  if (!DeleteDbFile(env_, journal_path) && DbFileExists(env_, journal_path)) return 0;
  DbString catalog;
  uint32_t made = 0;  // tables whose file has been (re)made
  bool complete = true;
  for (uint32_t i = 0; i < schema.Count(); ++i) {
    const DbTableSchema* table = schema.At(i);
    if (table->name.Length() == 0 || table->ColumnCount() == 0) {
      complete = false;
      break;
    }
    const DbString path = TablePath(env_, table->name);
    // A file that stays is emptied by the open below, or refuses it.
    static_cast<void>(DeleteDbFile(env_, path));
    DbFile file(env_, path, kAccessReadWrite, platform::kDispositionCreateAlways, kShareReadWrite);
    ++made;
    if (!file.IsOpen() || !AppendTableRecord(*table, &catalog)) {
      complete = false;
      break;
    }
  }
  // The catalog is written whole in one step, so a database is never left with a catalog cut
  // short; until then the table files alone do not make a database.
  if (complete && ReplaceFileContent(env_, catalog_path, catalog)) return 1;
  // Already failing: a table file left behind holds no catalog, and the next creation of the
  // database makes it afresh.
  for (uint32_t i = 0; i < made; ++i) {
    static_cast<void>(DeleteDbFile(env_, TablePath(env_, schema.At(i)->name)));
  }
  return 0;
}

int FileDbDriver::DeleteDatabase(const DbString& name) {
  if (name.Length() == 0) return 0;
  // A catalog that does not read names only the tables that decoded; the others are made
  // afresh by the next creation of the database.
  DbSchema tables;
  static_cast<void>(ReadCatalog(env_, name, &tables));
  // A file that is not there is no failure; one that stays after its delete is.
  auto gone = [this](const DbString& path) {
    return DeleteDbFile(env_, path) || !DbFileExists(env_, path);
  };
  bool whole = true;
  for (uint32_t i = 0; i < tables.Count(); ++i) {
    if (!gone(TablePath(env_, tables.At(i)->name))) whole = false;
  }
  if (!gone(TableJournal::PathFor(env_, name))) whole = false;
  // The catalog goes only after its tables, so that a failed delete can be tried again.
  return whole && gone(CatalogPath(env_, name)) ? 1 : 0;
}

// ---- Cursors ----

TableFile* FileDbDriver::TableOf(DbRecordSet* record_set) {
  return dynamic_cast<TableFile*>(record_set->DriverState());
}

TableFile* FileDbDriver::OpenTableOf(DbRecordSet* record_set) const {
  if (record_set == nullptr || catalog_ == nullptr) return nullptr;
  return TableOf(record_set);
}

int FileDbDriver::OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                             uint32_t* out_row_count) {
  if (record_set == nullptr || !CloseCursor(record_set)) return 0;
  const DbTableSchema* table = catalog_->Find(query_text);
  if (table == nullptr) return 0;
  auto file = std::make_unique<TableFile>(
      env_, table->name, static_cast<int32_t>(table->ColumnCount()), &generations_, journal_);
  if (!file->OpenStreams()) return 0;
  const int64_t rows = file->RowCount();
  if (rows < 0) return 0;
  if (out_row_count != nullptr) *out_row_count = static_cast<uint32_t>(rows);
  std::vector<std::unique_ptr<DbColumnDef>> defs;
  for (const auto& column : table->columns) {
    defs.push_back(std::make_unique<DbColumnDef>(column->Name(), column->Type(), column->Size()));
  }
  record_set->DefineColumns(std::move(defs));
  file->SetCurrentOffset(0);
  record_set->SetDriverState(std::move(file));
  return 1;
}

int FileDbDriver::CloseCursor(DbRecordSet* record_set) {
  if (record_set == nullptr || catalog_ == nullptr) return 0;
  // A failure leaves the held rows out; the record set's EndBulkLoad has reported the load's
  // result before it closes.
  static_cast<void>(Settle(record_set));
  held_.erase(record_set);
  if (TableOf(record_set) == nullptr) return 1;
  std::unique_ptr<DbDriverState> state = record_set->TakeDriverState();
  static_cast<TableFile*>(state.get())->CloseStreams();
  return 1;
}

int FileDbDriver::Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index, int hint) {
  TableFile* table = OpenTableOf(record_set);
  if (table == nullptr || !Settle(record_set) || !table->MoveByCode(move_code, row_index) ||
      !table->ReadCurrentRow()) {
    return 0;
  }
  // The column limit is taken in 16 bits: a hint of -1 gives 0, every column.
  const uint32_t column_limit = static_cast<uint16_t>(static_cast<uint32_t>(hint) + 1u);
  if (!record_set->DecodeRow(&table->RowBuffer(), column_limit)) return 0;
  table->RowBuffer().Compact();
  return 1;
}

int FileDbDriver::ScanRows(DbRecordSet* record_set, uint64_t columns, const ScanVisitor& visit) {
  TableFile* table = OpenTableOf(record_set);
  const int64_t rows = table != nullptr ? table->RowCount() : -1;
  DbRecord* record = record_set != nullptr ? record_set->Fields() : nullptr;
  if (rows < 0 || record == nullptr) return 0;
  const int64_t slot = table->SlotSize();
  for (int64_t row = 0; row < rows; ++row) {
    // Decoded where the window holds it: a walk copies no slot.
    const std::string_view bytes = table->ViewAt(row * slot, static_cast<uint32_t>(slot));
    if (bytes.empty() || !record_set->DecodeRowFrom(bytes, columns)) return 0;
    ScanStep step = visit(record);
    if (step == ScanStep::kWholeRow) {
      if (!record_set->DecodeRowFrom(bytes, 0)) return 0;
      step = visit(record);
    }
    if (step == ScanStep::kStop) break;
  }
  table->MoveFirst();
  return 1;
}

int FileDbDriver::DeleteAllRows(DbRecordSet* record_set) {
  TableFile* table = OpenTableOf(record_set);
  return table != nullptr && Settle(record_set) ? table->Clear() : 0;
}

int FileDbDriver::BeginBulkLoad(DbRecordSet* record_set) {
  TableFile* table = OpenTableOf(record_set);
  if (table == nullptr || !Settle(record_set) || !table->BeginDeferred()) return 0;
  static_cast<void>(HoldRows(record_set, table));
  return 1;
}

int FileDbDriver::EndBulkLoad(DbRecordSet* record_set) {
  // Also after the database was closed: the table file is still the record set's, and its
  // journal, closed, refuses the write, so the held-back rows are dropped and 0 answered.
  TableFile* table = record_set != nullptr ? TableOf(record_set) : nullptr;
  if (table == nullptr) return 1;
  const bool settled = Settle(record_set);
  const int written = table->EndDeferred();
  return settled ? written : 0;
}

bool FileDbDriver::HoldRows(DbRecordSet* record_set, TableFile* table) {
  const DbColumnDef* column = record_set->ColumnDef(0);
  const int64_t rows = table->RowCount();
  const int32_t slot_size = table->SlotSize();
  if (column == nullptr || rows < 0 || slot_size <= 0) return false;
  auto held = std::make_unique<HeldRows>(static_cast<size_t>(slot_size));
  DbString slot;
  for (int64_t row = 0; row < rows; ++row) {
    DbValue key;
    if (!table->ReadAt(row * slot_size, static_cast<uint32_t>(slot_size), &slot) ||
        key.Decode(slot.View(), column->Type()) == 0) {
      return false;
    }
    held->Insert(held->size(), std::move(key), slot.View());
  }
  held_[record_set] = std::move(held);
  return true;
}

bool FileDbDriver::Settle(DbRecordSet* record_set) {
  auto found = held_.find(record_set);
  if (found == held_.end()) return true;
  const std::unique_ptr<HeldRows> held = std::move(found->second);
  held_.erase(found);
  TableFile* table = TableOf(record_set);
  if (table == nullptr) return false;
  // The table's image holds what the held rows held when they were taken; the rows replace it
  // (both are in memory while the load is deferred), a chunk at a time so that the table is
  // not held twice over.
  if (!table->Clear()) return false;
  return held->Drain(
      [table](std::string_view slots) { return table->Append(DbString(slots)) != 0; });
}

int FileDbDriver::ReplaceRows(DbRecordSet* record_set, std::span<const uint32_t> removed,
                              std::span<const DbString> added) {
  TableFile* table = OpenTableOf(record_set);
  const DbColumnDef* first_column = record_set != nullptr ? record_set->ColumnDef(0) : nullptr;
  const int64_t rows = table != nullptr ? table->RowCount() : -1;
  if (first_column == nullptr || rows < 0) return 0;
  const DbValueType key_type = first_column->Type();
  const auto slot = static_cast<size_t>(table->SlotSize());
  std::vector<AddedRow> rows_added(added.size());
  for (size_t i = 0; i < added.size(); ++i) {
    AddedRow& row = rows_added[i];
    // A row longer than its slot, or without a readable key, could never be read back in order.
    if (added[i].Length() > slot || row.key.Decode(added[i].View(), key_type) == 0) return 0;
    row.slot = std::string(added[i].View());
    row.slot.resize(slot, '\0');
  }
  // In order of their keys, equal keys in the order given.
  std::stable_sort(rows_added.begin(), rows_added.end(),
                   [](const AddedRow& a, const AddedRow& b) { return b.key.Greater(a.key); });
  const std::vector<int64_t> removed_rows(removed.begin(), removed.end());
  const int fits = FitsRemovedSlots(table, key_type, removed_rows, rows_added);
  if (fits < 0) return 0;
  int replaced = 0;
  if (fits == 1) {
    std::vector<std::string_view> slots;
    for (const AddedRow& row : rows_added) slots.push_back(row.slot);
    replaced = table->OverwriteSlots(removed_rows, slots);
  } else {
    std::vector<SlotInsert> inserts;
    for (AddedRow& row : rows_added) {
      const int64_t place = RowsNotAfter(table, rows, key_type, row.key);
      if (place < 0) return 0;
      inserts.push_back({place, row.slot});
    }
    // Sorted by key already, so sorting by place keeps rows that land together in key order.
    std::stable_sort(inserts.begin(), inserts.end(), [](const SlotInsert& a, const SlotInsert& b) {
      return a.before_row < b.before_row;
    });
    replaced = table->ReplaceSlots(removed_rows, inserts);
  }
  table->SetCurrentOffset(0);
  return replaced;
}

int FileDbDriver::FitsRemovedSlots(TableFile* table, DbValueType key_type,
                                   std::span<const int64_t> removed,
                                   std::span<const AddedRow> added) {
  if (removed.size() != added.size() || removed.empty()) return 0;
  const int64_t rows = table->RowCount();
  // The key of the nearest row from `row` on in direction `step` that stays; none past the end.
  auto kept_key = [&](int64_t row, int64_t step, DbValue* key) -> std::optional<bool> {
    for (; row >= 0 && row < rows; row += step) {
      if (std::binary_search(removed.begin(), removed.end(), row)) continue;
      DbString bytes;
      if (!table->ReadAt(row * table->SlotSize(), static_cast<uint32_t>(table->SlotSize()),
                         &bytes) ||
          key->Decode(bytes.View(), key_type) == 0) {
        return std::nullopt;
      }
      return true;
    }
    return false;
  };
  for (size_t i = 0; i < removed.size(); ++i) {
    DbValue before;
    DbValue after;
    const std::optional<bool> has_before = kept_key(removed[i] - 1, -1, &before);
    const std::optional<bool> has_after = kept_key(removed[i] + 1, 1, &after);
    if (!has_before || !has_after) return -1;
    if ((*has_before && before.Greater(added[i].key)) ||
        (*has_after && added[i].key.Greater(after))) {
      return 0;
    }
  }
  return 1;
}

int64_t FileDbDriver::RowsNotAfter(TableFile* table, int64_t rows, DbValueType type,
                                   const DbValue& key) {
  int64_t low = 0;
  int64_t high = rows;
  DbString slot;
  while (low < high) {
    const int64_t middle = low + (high - low) / 2;
    DbValue value;
    if (!table->ReadAt(middle * table->SlotSize(), static_cast<uint32_t>(table->SlotSize()),
                       &slot) ||
        value.Decode(slot.View(), type) == 0) {
      return -1;
    }
    if (value.Greater(key)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

// ---- Writing rows ----

int FileDbDriver::Write(DbRecordSet* record_set, int mode, uint32_t row_number) {
  (void)row_number;
  TableFile* table = OpenTableOf(record_set);
  if (table == nullptr || (mode != kWriteInsert && !Settle(record_set))) return 0;
  if (mode == kWriteDelete) {
    return table->DeleteAt(table->CurrentOffset(), static_cast<uint32_t>(table->SlotSize()));
  }
  DbString& row = table->RowBuffer();
  row.Clear();
  // A row that cannot be encoded, or whose encoding does not fit its slot, is never stored: a
  // stored row must stay decodable.
  if (!record_set->EncodeRow(&row, 0) || row.Length() > static_cast<uint32_t>(table->SlotSize())) {
    return 0;
  }
  return mode == kWriteInsert ? Insert(record_set, table) : Overwrite(table);
}

int FileDbDriver::Overwrite(TableFile* table) {
  // Only over a slot of the file: past the end the row would leave a part slot behind.
  if (table->CurrentOffset() + table->SlotSize() > table->FileSize()) return 0;
  return table->WriteAt(table->CurrentOffset(), table->RowBuffer());
}

int FileDbDriver::InsertHeld(DbRecordSet* record_set, TableFile* table, HeldRows* held) {
  const DbColumnDef* column = record_set->ColumnDef(0);
  const DbValue* first = record_set->FieldByIndex(0);
  const int64_t slot = table->SlotSize();
  DbString& row = table->RowBuffer();
  const std::string zeros(static_cast<size_t>(slot - row.Length()), '\0');
  row.AppendBytes(zeros.data(), static_cast<uint32_t>(zeros.size()));
  // Searched for with the field, as Insert does; kept as the slot holds it, as a later search
  // reads it from the file.
  DbValue key;
  if (first == nullptr || column == nullptr || key.Decode(row.View(), column->Type()) == 0) {
    return 0;
  }
  const auto rows = static_cast<uint32_t>(held->size());
  search_.key = *first;
  search_.column = 0;
  search_.record_set = record_set;
  search_.held = held;
  search_.insert_position = 1;
  search_.failed = false;
  const int32_t position = FindInsertPosition(rows);
  const bool failed = search_.failed;
  search_.record_set = nullptr;
  search_.held = nullptr;
  search_.insert_position = -1;
  if (failed) return 0;
  if (position >= 0 && position < static_cast<int32_t>(rows)) {
    held->Insert(static_cast<size_t>(position), std::move(key), row.View());
    table->SetCurrentOffset(position * slot);
  } else {
    held->Insert(rows, std::move(key), row.View());
    table->SetCurrentOffset(0);
  }
  return 1;
}

int FileDbDriver::Insert(DbRecordSet* record_set, TableFile* table) {
  auto held = held_.find(record_set);
  if (held != held_.end()) return InsertHeld(record_set, table, held->second.get());
  const DbValue* first = record_set->FieldByIndex(0);
  const int64_t rows = table->RowCount();
  if (first == nullptr || rows < 0) return 0;
  const int64_t slot = table->SlotSize();
  DbString& row = table->RowBuffer();
  const std::string zeros(static_cast<size_t>(slot - row.Length()), '\0');
  row.AppendBytes(zeros.data(), static_cast<uint32_t>(zeros.size()));

  search_.key = *first;
  search_.column = 0;
  search_.record_set = record_set;
  search_.insert_position = 1;
  search_.failed = false;
  const int32_t position = FindInsertPosition(static_cast<uint32_t>(rows));
  const bool failed = search_.failed;
  search_.record_set = nullptr;
  search_.insert_position = -1;
  // A row that could not be read leaves the place unknown: better no row than one out of order.
  if (failed) return 0;

  if (position >= 0 && position < rows) {
    if (!table->InsertAt(position * slot, row)) return 0;
    table->SetCurrentOffset(position * slot);
    return 1;
  }
  const int appended = table->Append(row);
  table->SetCurrentOffset(0);
  return appended;
}

int32_t FileDbDriver::FindInsertPosition(uint32_t row_count) {
  uint32_t low = 1;
  uint32_t high = row_count + 1;
  uint32_t settled = 0;
  while (low != high && high - low >= settled && !search_.failed) {
    const uint32_t middle = low + (high - low) / 2;
    const auto order = static_cast<int16_t>(CompareRow(static_cast<int32_t>(middle - 1)));
    if (order <= 0) {
      low = middle;
    } else {
      high = middle;
    }
    if (high == low + 1) ++settled;
    if (order == 0) break;
  }
  return search_.insert_position;
}

int FileDbDriver::CompareRow(int32_t row) {
  if (search_.held != nullptr) {
    if (row < 0 || static_cast<size_t>(row) >= search_.held->size()) {
      search_.failed = true;
      return -1;
    }
    return Placed(search_.held->KeyAt(static_cast<size_t>(row)), row);
  }
  TableFile* table = row >= 0 ? OpenTableOf(search_.record_set) : nullptr;
  const DbColumnDef* column =
      table != nullptr ? search_.record_set->ColumnDef(search_.column) : nullptr;
  DbString slot;
  DbValue value;
  if (column == nullptr ||
      !table->ReadAt(int64_t{row} * table->SlotSize(), static_cast<uint32_t>(table->SlotSize()),
                     &slot) ||
      value.Decode(slot.View(), column->Type()) == 0) {
    search_.failed = true;
    return -1;
  }
  return Placed(value, row);
}

int FileDbDriver::Placed(const DbValue& value, int32_t row) {
  search_.insert_position = row + 1;
  if (value.Equals(search_.key)) return 0;
  if (value.Greater(search_.key)) {
    search_.insert_position = row;
    return 1;
  }
  return -1;
}

}  // namespace ledgerix
