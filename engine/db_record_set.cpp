#include "engine/db_record_set.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace ledgerix {

namespace {

// How many of `count` columns an operation with `limit` covers (all for 0).
uint32_t ColumnsCovered(uint32_t limit, uint32_t count) {
  return limit == 0 ? count : std::min(limit, count);
}

// Gives back exactly the bytes dropped from `in` since it was `length_before` long, leaving
// any bytes the caller dropped before that dropped.
void GiveBackSince(DbString* in, uint32_t length_before) {
  in->RestoreFront();
  in->DropFront(in->Length() - length_before);
}

}  // namespace

DbRecordSet::DbRecordSet(DbDriverHost* host) : host_(host) {}

DbRecordSet::~DbRecordSet() {
  Close();
  ReleaseColumns();
}

DbDriver* DbRecordSet::ReadyDriver() const {
  if (host_ == nullptr) return nullptr;
  DbDriver* driver = host_->Driver();
  if (driver == nullptr || driver->IsOpen() == 0) return nullptr;
  return driver;
}

bool DbRecordSet::IsUsable() const {
  return open_ && record_ != nullptr && ReadyDriver() != nullptr;
}

void DbRecordSet::ReleaseColumns() {
  record_.reset();
  columns_.clear();
  fetched_ = false;
  holds_row_ = false;
}

int DbRecordSet::DefineColumns(std::vector<std::unique_ptr<DbColumnDef>> defs) {
  ReleaseColumns();
  std::erase_if(defs, [](const std::unique_ptr<DbColumnDef>& def) { return def == nullptr; });
  record_ = std::make_unique<DbRecord>(this, static_cast<uint32_t>(defs.size()));
  columns_ = std::move(defs);
  ResetFields();
  return 1;
}

void DbRecordSet::ResetFields() {
  if (record_ == nullptr) return;
  for (uint32_t i = 0; i < ColumnCount(); ++i) {
    DbValue* field = record_->FieldByIndex(i);
    if (field == nullptr) continue;
    *field = DbValue(columns_[i]->Type());
    field->SetTag(columns_[i]->Size());
  }
}

std::span<const std::unique_ptr<DbColumnDef>> DbRecordSet::ColumnDefs() const { return columns_; }

uint32_t DbRecordSet::ColumnCount() const { return static_cast<uint32_t>(columns_.size()); }

const DbColumnDef* DbRecordSet::ColumnDef(uint32_t index) const {
  return index < columns_.size() ? columns_[index].get() : nullptr;
}

int DbRecordSet::OpenQuery(const DbString& query_text) {
  Close();
  DbDriver* driver = ReadyDriver();
  if (driver == nullptr || query_text.Length() == 0) return 0;
  ReleaseColumns();
  uint32_t row_count = 0;
  if (driver->OpenCursor(query_text, this, &row_count) == 0) {
    // A cursor that did not open must not leave state behind for the next one.
    driver_state_.reset();
    return 0;
  }
  cursor_ = RecordCursor{0, 0, row_count};
  driver_in_step_ = true;
  open_ = true;
  return 1;
}

int DbRecordSet::OpenTable(const char* table_name, const char* condition) {
  DbDriver* driver = ReadyDriver();
  if (driver == nullptr) return 0;
  DbString query;
  driver->BuildQuery(&query, table_name, condition);
  return OpenQuery(query);
}

int DbRecordSet::DeleteAll() {
  DbDriver* driver = ReadyDriver();
  if (driver == nullptr) return 0;
  const int result = driver->DeleteAllRows(this);
  if (result != 0) {
    // No row is left to fetch, so the record no longer stands for one; the position itself
    // stays where it was.
    adding_ = false;
    fetched_ = false;
    holds_row_ = false;
    cursor_.row_count = 0;
  }
  return result;
}

int DbRecordSet::Close() {
  if (open_) {
    if (DbDriver* driver = ReadyDriver()) {
      // Whatever the load held back is stored before its cursor goes. Whoever began the load
      // ends it and learns the result (EndBulkLoad); here it is too late to tell anyone.
      static_cast<void>(EndBulkLoad());
      // The cursor is released whatever the driver answers.
      static_cast<void>(driver->CloseCursor(this));
    } else {
      // The driver went away or was closed under the cursor: release what it left with us.
      driver_state_.reset();
    }
  }
  fetched_ = false;
  holds_row_ = false;
  open_ = false;
  adding_ = false;
  bulk_load_ = false;
  cursor_.row_count = 0;
  return 1;
}

int DbRecordSet::BeginBulkLoad() {
  if (!IsUsable() || bulk_load_) return 0;
  bulk_load_ = ReadyDriver()->BeginBulkLoad(this) != 0;
  return bulk_load_ ? 1 : 0;
}

int DbRecordSet::EndBulkLoad() {
  if (!bulk_load_) return 1;
  bulk_load_ = false;
  DbDriver* driver = ReadyDriver();
  return driver != nullptr && driver->EndBulkLoad(this) != 0 ? 1 : 0;
}

int DbRecordSet::Execute(const DbString& statement_text) {
  DbDriver* driver = ReadyDriver();
  if (driver == nullptr || statement_text.Length() == 0) return 0;
  ReleaseColumns();
  uint32_t row_count = 0;
  return driver->OpenCursor(statement_text, nullptr, &row_count);
}

uint32_t DbRecordSet::RowCount() const { return IsUsable() ? cursor_.row_count : 0; }

bool DbRecordSet::BeginMove() {
  fetched_ = false;
  return IsUsable();
}

int DbRecordSet::MoveNext() {
  if (!BeginMove()) return 0;
  if (uint64_t{cursor_.position} + 1 < cursor_.row_count) {
    ++cursor_.position;
    return 1;
  }
  cursor_.position = cursor_.row_count;
  return 0;
}

int DbRecordSet::MovePrevious() {
  if (!BeginMove() || cursor_.position == 0) return 0;
  --cursor_.position;
  return 1;
}

int DbRecordSet::MoveFirst() {
  if (!BeginMove()) return 0;
  cursor_.position = 0;
  return 1;
}

int DbRecordSet::MoveLast() {
  if (!BeginMove() || cursor_.row_count == 0) return 0;
  cursor_.position = cursor_.row_count - 1;
  return 1;
}

int DbRecordSet::Move(uint32_t n) {
  if (!BeginMove() || n == 0 || n > cursor_.row_count) return 0;
  cursor_.position = n - 1;
  return 1;
}

int DbRecordSet::IsEOF() const {
  if (!IsUsable()) return 1;
  return cursor_.row_count == 0 || cursor_.position >= cursor_.row_count ? 1 : 0;
}

int DbRecordSet::IsBOF() const {
  if (!IsUsable()) return 1;
  return cursor_.row_count == 0 || cursor_.position == 0 ? 1 : 0;
}

int DbRecordSet::AddNew() {
  if (!IsUsable() || adding_) return 0;
  // A new row starts empty rather than with what the last fetched row left in the record.
  ResetFields();
  adding_ = true;
  fetched_ = false;
  holds_row_ = false;
  return 1;
}

int DbRecordSet::Delete() {
  if (IsUsable() && !adding_ && CurrentRecord(-1) != nullptr && cursor_.row_count > 0) {
    const uint32_t p = cursor_.position;
    if (ReadyDriver()->Write(this, kWriteDelete, p + 1) == 0) {
      driver_in_step_ = false;
      return 0;
    }
    holds_row_ = false;
    cursor_.last_fetched = p;
    --cursor_.row_count;
    if (cursor_.row_count != 0) {
      cursor_.position = 0;
      cursor_.last_fetched = 0;
    }
    // Back onto index p, which now shows the following row; after the last row this fails
    // and the position stays 0.
    Move(p + 1);
    cursor_.last_fetched = p;
    return 1;
  }
  if (adding_) {
    adding_ = false;
    return 1;
  }
  return 0;
}

int DbRecordSet::Update() {
  const bool was_adding = adding_;
  adding_ = false;
  if (!IsUsable() || (cursor_.row_count == 0 && !was_adding)) return 0;
  // Overwriting goes to the row the driver last read; unless that is the current row with the
  // record's contents, the write would land on another row.
  if (!was_adding && (!holds_row_ || cursor_.last_fetched != cursor_.position)) return 0;
  const uint32_t p = cursor_.position;
  const int mode = was_adding ? kWriteInsert : kWriteOverwrite;
  if (ReadyDriver()->Write(this, mode, p + 1) == 0) {
    driver_in_step_ = false;
    return 0;
  }
  cursor_.last_fetched = p;
  if (was_adding) {
    ++cursor_.row_count;
    cursor_.position = 0;
    cursor_.last_fetched = 0;
    // The record holds the new row, not row 0, and the driver stands wherever it put the row.
    fetched_ = false;
    holds_row_ = false;
    driver_in_step_ = false;
  }
  return 1;
}

int DbRecordSet::ScanRows(uint64_t columns, const ScanVisitor& visit) {
  if (!IsUsable() || adding_) return 0;
  MoveFirst();
  // The driver's own walk leaves its cursor anywhere, and the record holds some row.
  fetched_ = false;
  holds_row_ = false;
  driver_in_step_ = false;
  const int scanned = cursor_.row_count == 0 ? 1 : ReadyDriver()->ScanRows(this, columns, visit);
  if (scanned >= 0) {
    // The record holds whatever row the walk read last, maybe in part.
    fetched_ = false;
    holds_row_ = false;
    return scanned;
  }
  while (!IsEOF()) {
    DbRecord* record = CurrentRecord(-1);
    if (record == nullptr) {
      MoveFirst();
      return 0;
    }
    ScanStep step = visit(record);
    if (step == ScanStep::kWholeRow) step = visit(record);  // read whole already
    if (step == ScanStep::kStop) break;
    MoveNext();
  }
  MoveFirst();
  return 1;
}

int DbRecordSet::ReplaceRows(std::span<const uint32_t> removed, size_t added_count,
                             const RowFiller& fill) {
  if (!IsUsable() || adding_ || bulk_load_) return 0;
  for (size_t i = 0; i < removed.size(); ++i) {
    if (removed[i] >= cursor_.row_count || (i > 0 && removed[i] <= removed[i - 1])) return 0;
  }
  std::vector<DbString> added(added_count);
  for (size_t i = 0; i < added_count; ++i) {
    ResetFields();
    if (!fill(i, record_.get()) || !EncodeRow(&added[i], 0)) {
      ResetFields();
      return 0;
    }
  }
  fetched_ = false;
  holds_row_ = false;
  driver_in_step_ = false;
  const int replaced = ReadyDriver()->ReplaceRows(this, removed, added);
  if (replaced < 0) return ReplaceRowByRow(removed, added_count, fill) ? 1 : 0;
  if (replaced == 0) return 0;
  cursor_.row_count = static_cast<uint32_t>(cursor_.row_count - removed.size() + added_count);
  cursor_.position = 0;
  cursor_.last_fetched = 0;
  return 1;
}

bool DbRecordSet::ReplaceRowByRow(std::span<const uint32_t> removed, size_t added_count,
                                  const RowFiller& fill) {
  // From the last to the first, so that each position still names the row it named.
  for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
    if (!Move(*it + 1) || !Delete()) return false;
  }
  for (size_t i = 0; i < added_count; ++i) {
    if (!AddNew()) return false;
    if (!fill(i, record_.get())) {
      static_cast<void>(Delete());  // only leaves the adding state
      return false;
    }
    if (!Update()) return false;
  }
  MoveFirst();
  return true;
}

DbRecord* DbRecordSet::Fields() { return ReadyDriver() != nullptr ? record_.get() : nullptr; }

int DbRecordSet::MoveCodeFor() const {
  const uint64_t l = cursor_.last_fetched;
  const uint64_t p = cursor_.position;
  const uint32_t n = cursor_.row_count;
  if (driver_in_step_) {
    if (l + 1 == p) return kMoveNext;
    if (p + 1 == l) return kMovePrevious;
  }
  if (n == 0) return 0;
  if (p == 0) return kMoveFirst;
  if (p == n - 1) return kMoveLast;
  return kMoveAbsolute;
}

DbRecord* DbRecordSet::CurrentRecord(int hint) {
  if (!IsUsable()) return nullptr;
  if (adding_) return record_.get();
  // Past the end there is no row; asking the driver would move its cursor off the table.
  if (cursor_.position >= cursor_.row_count) return nullptr;
  if (!fetched_) {
    const int move_code = MoveCodeFor();
    if (move_code == 0) return nullptr;
    if (ReadyDriver()->Fetch(this, move_code, cursor_.position, hint) == 0) {
      holds_row_ = false;
      driver_in_step_ = false;
      return nullptr;
    }
    fetched_ = hint < 0;
    holds_row_ = true;
    driver_in_step_ = true;
  }
  cursor_.last_fetched = cursor_.position;
  return record_.get();
}

int DbRecordSet::Position() const {
  if (!IsUsable() || cursor_.row_count == 0) return -1;
  return static_cast<int>(cursor_.position);
}

int DbRecordSet::EncodeRow(DbString* out, uint32_t column_limit) const {
  if (out == nullptr || record_ == nullptr) return 0;
  DbString row;
  const uint32_t count = ColumnsCovered(column_limit, ColumnCount());
  for (uint32_t i = 0; i < count; ++i) {
    const DbValue* field = record_->FieldByIndex(i);
    if (field == nullptr || !field->Encode(&row, columns_[i]->Type())) return 0;
  }
  out->AppendString(row);
  return 1;
}

int DbRecordSet::DecodeRow(DbString* in, uint32_t column_limit) {
  if (in == nullptr || record_ == nullptr) return 0;
  const uint32_t length_before = in->Length();
  const uint32_t count = ColumnsCovered(column_limit, ColumnCount());
  for (uint32_t i = 0; i < count; ++i) {
    DbValue* field = record_->FieldByIndex(i);
    const uint32_t used = field == nullptr ? 0 : field->Decode(in->View(), columns_[i]->Type());
    if (used == 0) {
      GiveBackSince(in, length_before);
      return 0;
    }
    in->DropFront(used);
  }
  fetched_ = true;
  return 1;
}

int DbRecordSet::DecodeRowFrom(std::string_view bytes, uint64_t columns) {
  if (record_ == nullptr) return 0;
  for (uint32_t i = 0; i < ColumnCount(); ++i) {
    const DbValueType type = columns_[i]->Type();
    size_t used = 0;
    if (ScanTakesColumn(columns, i)) {
      DbValue* field = record_->FieldByIndex(i);
      used = field == nullptr ? 0 : field->Decode(bytes, type);
    } else if (type == DbValueType::Text) {
      const size_t end = bytes.find('\0');
      used = end == std::string_view::npos ? 0 : end + 1;
    } else if (FixedWidthOf(type) <= bytes.size()) {
      used = FixedWidthOf(type);
    }
    if (used == 0) return 0;
    bytes.remove_prefix(used);
  }
  fetched_ = true;
  return 1;
}

int64_t DbRecordSet::MeasureRow(std::string_view bytes) const {
  for (const auto& column : columns_) {
    if (column->Type() != DbValueType::Text && FixedWidthOf(column->Type()) == 0) return -1;
  }
  uint64_t length = 0;
  for (const auto& column : columns_) {
    if (column->Type() == DbValueType::Text) {
      const size_t end = bytes.find('\0', length);
      if (end == std::string_view::npos) return 0;
      length = end + 1;
    } else {
      length += FixedWidthOf(column->Type());
      if (length > bytes.size()) return 0;
    }
  }
  return static_cast<int64_t>(length);
}

int DbRecordSet::AppendEncodedRow(DbString* buffer) {
  fetched_ = false;
  if (buffer == nullptr || !IsUsable() || driver_state_ == nullptr || columns_.empty()) {
    return -1;
  }
  const int64_t length = MeasureRow(buffer->View());
  if (length < 0) return -1;
  if (length == 0) {
    buffer->Compact();
    return 0;
  }
  const DbString row(buffer->View().substr(0, static_cast<size_t>(length)));
  if (driver_state_->AppendRow(row) == 0) return -1;
  buffer->DropFront(static_cast<uint32_t>(length));
  ++cursor_.row_count;
  return 1;
}

int DbRecordSet::IsFileDatabase() const {
  return host_ != nullptr && host_->Kind() == DriverKind::kFileDatabase ? 1 : 0;
}

int DbRecordSet::ColumnIndex(const char* name) const {
  if (name == nullptr || ReadyDriver() == nullptr) return -1;
  const std::string_view wanted(name);
  for (size_t i = 0; i < columns_.size(); ++i) {
    // Lengths first: every field read by name comes through here, so a walk that reads each
    // row's fields by name compares names many times per row.
    const DbString& column_name = columns_[i]->Name();
    if (column_name.Length() == wanted.size() && column_name.View() == wanted) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

DbValue* DbRecordSet::FieldByName(const char* name) {
  DbRecord* record = Fields();
  return record != nullptr ? record->FieldByName(name) : nullptr;
}

DbValue* DbRecordSet::FieldByIndex(uint32_t index) {
  DbRecord* record = Fields();
  return record != nullptr ? record->FieldByIndex(index) : nullptr;
}

void DbRecordSet::SetDriverState(std::unique_ptr<DbDriverState> state) {
  driver_state_ = std::move(state);
}

DbDriverState* DbRecordSet::DriverState() const { return driver_state_.get(); }

std::unique_ptr<DbDriverState> DbRecordSet::TakeDriverState() { return std::move(driver_state_); }

void DbRecordSet::SetUserWord(uint32_t value) { user_word_ = value; }

uint32_t DbRecordSet::UserWord() const { return user_word_; }

}  // namespace ledgerix
