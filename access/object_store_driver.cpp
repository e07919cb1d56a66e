#include "access/object_store_driver.h"

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "access/object_store_catalog.h"
#include "access/object_store_values.h"
#include "engine/db_record_set.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"
#include "platform/property_record.h"

namespace ledgerix {
namespace {

using platform::ObjectStore;
using platform::ObjectStoreDatabase;
using platform::Property;
using platform::PropertyKind;
using platform::SortOrder;

// A table's database keeps its records in the order of property 0, the first column.
SortOrder TableSortOrder(DbValueType first_column_type) {
  return SortOrder{0, PropertyKindOf(first_column_type)};
}

constexpr SortOrder kCatalogSortOrder{0, PropertyKind::kText};

}  // namespace

// The cursor of one record set on one table: the table's open database, and buffers reused from
// row to row.
class ObjectStoreDriver::Cursor : public DbDriverState {
 public:
  explicit Cursor(std::unique_ptr<ObjectStoreDatabase> table) : table_(std::move(table)) {}

  ObjectStoreDatabase& table() { return *table_; }
  std::vector<Property>& properties() { return properties_; }
  // The 16-bit units of the text being converted.
  std::u16string& Wide() { return wide_; }
  // One text buffer per column, for converting text fields.
  DbString& Text(uint32_t column) {
    if (texts_.size() <= column) texts_.resize(column + 1);
    return texts_[column];
  }

  // False once the row last fetched was written over with a new first column: the platform
  // cursor moved along with the row to its new place in the order, while the record set still
  // counts the rows by their old places.
  bool in_step() const { return in_step_; }
  void set_in_step(bool in_step) { in_step_ = in_step; }

 private:
  std::unique_ptr<ObjectStoreDatabase> table_;
  std::vector<Property> properties_;
  std::vector<DbString> texts_;
  std::u16string wide_;
  bool in_step_ = true;
};

ObjectStoreDriver::ObjectStoreDriver(platform::Env& env) : env_(env) {}

ObjectStoreDriver::~ObjectStoreDriver() { Close(); }

ObjectStore* ObjectStoreDriver::Store() { return env_.Objects(); }

ObjectStoreDriver::Cursor* ObjectStoreDriver::CursorOf(DbRecordSet* record_set) {
  return record_set != nullptr ? dynamic_cast<Cursor*>(record_set->DriverState()) : nullptr;
}

int ObjectStoreDriver::Open(const DbString& connection_string) {
  Close();
  ObjectStore* store = Store();
  if (store == nullptr) return 0;
  auto schema = std::make_unique<DbSchema>();
  std::unique_ptr<ObjectStoreDatabase> catalog =
      store->OpenDatabase(StoreNameOf(connection_string));
  if (catalog == nullptr || !ReadCatalog(*catalog, schema.get())) return 0;
  catalog_ = std::move(catalog);
  schema_ = std::move(schema);
  return 1;
}

int ObjectStoreDriver::Close() {
  // A rollback that fails now is done by the store itself at its next open.
  if (in_transaction_) static_cast<void>(RollbackTransaction());
  if (IsOpen() == 0) return 0;
  catalog_.reset();
  schema_.reset();
  return 1;
}

int ObjectStoreDriver::BeginTransaction() {
  ObjectStore* store = Store();
  if (IsOpen() == 0 || in_transaction_ || store == nullptr || store->InBatch() ||
      !store->BeginBatch()) {
    return 0;
  }
  in_transaction_ = true;
  transaction_aborts_ = store->AbortCount();
  return 1;
}

int ObjectStoreDriver::CommitTransaction() {
  if (!in_transaction_) return 0;
  in_transaction_ = false;
  ObjectStore* store = Store();
  // Aborted meanwhile (a commit inside failed, or the store was closed): nothing was kept.
  if (store == nullptr || store->AbortCount() != transaction_aborts_ || !store->InBatch()) {
    return 0;
  }
  // A bulk load still running inside would keep the transaction open: take it all back.
  if (store->BatchDepth() != 1) {
    // Failing here, SQLite has taken the batch back itself or does at the next open.
    static_cast<void>(store->AbortBatch());
    return 0;
  }
  return store->EndBatch() ? 1 : 0;
}

int ObjectStoreDriver::RollbackTransaction() {
  if (!in_transaction_) return 0;
  in_transaction_ = false;
  ObjectStore* store = Store();
  if (store == nullptr || store->AbortCount() != transaction_aborts_ || !store->InBatch()) {
    return 1;  // already taken back
  }
  return store->AbortBatch() ? 1 : 0;
}

int ObjectStoreDriver::IsOpen() { return catalog_ != nullptr && schema_ != nullptr ? 1 : 0; }

int ObjectStoreDriver::OpenCursor(const DbString& query_text, DbRecordSet* record_set,
                                  uint32_t* out_row_count) {
  if (record_set == nullptr || IsOpen() == 0) return 0;
  const DbTableSchema* table = schema_->Find(query_text);
  ObjectStore* store = Store();
  if (table == nullptr || table->columns.empty() || store == nullptr) return 0;
  record_set->TakeDriverState();
  std::unique_ptr<ObjectStoreDatabase> database =
      store->OpenDatabase(StoreNameOf(table->name), TableSortOrder(table->columns.front()->Type()));
  if (database == nullptr) return 0;
  if (out_row_count != nullptr) *out_row_count = database->RecordCount();

  std::vector<std::unique_ptr<DbColumnDef>> defs;
  defs.reserve(table->columns.size());
  for (const auto& column : table->columns) {
    defs.push_back(std::make_unique<DbColumnDef>(column->Name(), column->Type(), column->Size()));
  }
  record_set->DefineColumns(std::move(defs));
  database->SeekFirst();
  record_set->SetDriverState(std::make_unique<Cursor>(std::move(database)));
  return 1;
}

int ObjectStoreDriver::Fetch(DbRecordSet* record_set, int move_code, uint32_t row_index, int hint) {
  (void)hint;
  Cursor* cursor = CursorOf(record_set);
  if (IsOpen() == 0 || cursor == nullptr) return 0;
  ObjectStoreDatabase& table = cursor->table();
  bool found = false;
  switch (move_code) {
    case kMoveNext:
      // A step from where a write left the platform cursor could land beside the wanted row.
      found = cursor->in_step() ? table.SeekNext() : table.SeekToIndex(row_index);
      break;
    case kMoveFirst:
      found = table.SeekFirst();
      break;
    case kMoveLast:
      found = table.SeekLast();
      break;
    case kMoveAbsolute:
      found = table.SeekToIndex(row_index);
      break;
    case kMovePrevious:
      found = cursor->in_step() ? table.SeekPrevious() : table.SeekToIndex(row_index);
      break;
    default:
      return 0;
  }
  if (!found) return 0;
  cursor->set_in_step(true);
  return ReadCurrentRow(record_set, cursor) ? 1 : 0;
}

bool ObjectStoreDriver::ReadCurrentRow(DbRecordSet* record_set, Cursor* cursor, uint64_t columns) {
  std::string_view bytes;
  if (cursor->table().CurrentBytes(&bytes)) {
    return DecodeStoredRow(record_set, cursor, bytes, columns) == 1;
  }
  return cursor->table().ReadCurrent(&cursor->properties()) &&
         FieldsFromProperties(record_set, cursor) == 1;
}

int ObjectStoreDriver::DecodeStoredRow(DbRecordSet* record_set, Cursor* cursor,
                                       std::string_view bytes, uint64_t columns) {
  // The record and the columns are looked up once per row rather than once per field: a walk
  // reads every row of the table.
  DbRecord* record = record_set->Fields();
  const std::span<const std::unique_ptr<DbColumnDef>> defs = record_set->ColumnDefs();
  platform::PropertyRecordReader reader(bytes);
  uint16_t count = 0;
  if (record == nullptr || !reader.Start(&count) || count != defs.size()) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t id;
    PropertyKind kind;
    std::string_view payload;
    if (!reader.Next(&id, &kind, &payload)) return 0;  // damaged bytes
    if (!ScanTakesColumn(columns, i)) continue;
    DbValue* field = record->FieldByIndex(i);
    if (field == nullptr) return 0;
    if (!StoredBytesToField(kind, payload, defs[i]->Type(), field, &cursor->Text(i),
                            &cursor->Wide())) {
      // Anything but numbers and texts is converted from the decoded properties.
      std::vector<Property>& properties = cursor->properties();
      return platform::DecodePropertyRecord(bytes.data(), bytes.size(), &properties)
                 ? FieldsFromProperties(record_set, cursor)
                 : 0;
    }
  }
  return reader.AtEnd() ? 1 : 0;
}

int ObjectStoreDriver::FieldsFromProperties(DbRecordSet* record_set, Cursor* cursor) {
  DbRecord* record = record_set->Fields();
  const std::span<const std::unique_ptr<DbColumnDef>> defs = record_set->ColumnDefs();
  const std::vector<Property>& properties = cursor->properties();
  if (record == nullptr || properties.size() != defs.size()) return 0;
  for (uint32_t i = 0; i < defs.size(); ++i) {
    DbValue* field = record->FieldByIndex(i);
    if (field == nullptr ||
        !PropertyToField(properties[i], defs[i]->Type(), field, &cursor->Text(i))) {
      return 0;
    }
  }
  return 1;
}

int ObjectStoreDriver::ScanRows(DbRecordSet* record_set, uint64_t columns,
                                const ScanVisitor& visit) {
  Cursor* cursor = CursorOf(record_set);
  if (IsOpen() == 0 || cursor == nullptr) return 0;
  // The record set moves its cursor absolutely after a walk of the driver's own.
  cursor->set_in_step(false);
  DbRecord* record = record_set->Fields();
  bool read = true;
  const bool walked = cursor->table().ScanAll([&](std::string_view bytes) {
    read = DecodeStoredRow(record_set, cursor, bytes, columns) == 1;
    if (!read) return false;
    ScanStep step = visit(record);
    if (step == ScanStep::kWholeRow) {
      read = DecodeStoredRow(record_set, cursor, bytes, 0) == 1;
      if (!read) return false;
      step = visit(record);
    }
    return step != ScanStep::kStop;
  });
  return walked && read ? 1 : 0;
}

int ObjectStoreDriver::Write(DbRecordSet* record_set, int mode, uint32_t row_number) {
  (void)row_number;
  Cursor* cursor = CursorOf(record_set);
  if (IsOpen() == 0 || cursor == nullptr) return 0;
  ObjectStoreDatabase& table = cursor->table();
  if (mode == kWriteDelete) {
    // The platform cursor is left in the gap of the deleted record: a step to the next record
    // and a seek to the deleted record's index both find its follower, which the record set
    // shows at the same position. (Seeking on to the next record here, as well, would make a
    // following step skip one row in every delete-while-walking loop.)
    const uint32_t object_id = table.CurrentObjectId();
    if (object_id == 0 || !table.DeleteRecord(object_id)) return 0;
    return 1;
  }
  if (mode != kWriteOverwrite && mode != kWriteInsert) return 0;

  std::vector<Property>& properties = cursor->properties();
  // The buffer holds the row as last fetched or written, which an overwrite is over.
  const std::optional<Property> old_first =
      properties.empty() ? std::nullopt : std::optional<Property>(properties.front());
  const uint32_t count = record_set->ColumnCount();
  properties.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const DbValue* field = record_set->FieldByIndex(i);
    const DbColumnDef* column = record_set->ColumnDef(i);
    if (field == nullptr || column == nullptr ||
        !FieldToProperty(*field, column->Type(), static_cast<uint16_t>(i), &cursor->Text(i),
                         &properties[i])) {
      return 0;
    }
  }
  if (mode == kWriteInsert) return table.AddRecord(properties) != 0 ? 1 : 0;
  const uint32_t object_id = table.CurrentObjectId();
  if (object_id == 0 || !table.WriteRecord(object_id, properties)) return 0;
  if (count > 0 && old_first != properties.front()) cursor->set_in_step(false);
  return 1;
}

int ObjectStoreDriver::CloseCursor(DbRecordSet* record_set) {
  if (IsOpen() == 0 || record_set == nullptr) return 0;
  if (CursorOf(record_set) != nullptr) record_set->TakeDriverState();
  return 1;
}

void ObjectStoreDriver::BuildQuery(DbString* out_text, const char* table_name,
                                   const char* condition) {
  (void)condition;
  if (out_text != nullptr) *out_text = DbString(table_name);
}

int ObjectStoreDriver::DeleteAllRows(DbRecordSet* record_set) {
  Cursor* cursor = CursorOf(record_set);
  ObjectStore* store = Store();
  if (IsOpen() == 0 || cursor == nullptr) return 0;
  // One transaction, so that a crash leaves either every row or an empty table, never a table
  // missing from under its catalog record.
  if (store == nullptr || !store->ClearDatabase(cursor->table().info().name)) {
    record_set->TakeDriverState();
    return 0;
  }
  cursor->table().SeekFirst();
  cursor->set_in_step(false);
  return 1;
}

int ObjectStoreDriver::BeginBulkLoad(DbRecordSet* record_set) {
  Cursor* cursor = CursorOf(record_set);
  if (IsOpen() == 0 || cursor == nullptr) return 0;
  return cursor->table().BeginBatch() ? 1 : 0;
}

int ObjectStoreDriver::EndBulkLoad(DbRecordSet* record_set) {
  Cursor* cursor = CursorOf(record_set);
  return cursor == nullptr || cursor->table().EndBatch() ? 1 : 0;
}

int ObjectStoreDriver::CreateDatabase(const DbString& name, const DbSchema& schema) {
  ObjectStore* store = Store();
  if (store == nullptr || name.Length() == 0) return 0;
  const std::u16string catalog_name = StoreNameOf(name);
  // A name already taken fails here, before anything could be deleted.
  if (!store->CreateDatabase(catalog_name, TypeIdOf(name), kCatalogSortOrder)) return 0;
  std::vector<std::u16string> created;
  // Best effort after the failure: should a delete fail too, what is left holds no rows, and
  // deleting the database by its tables' names (as opening the finance database does) takes it.
  auto undo = [&] {
    for (const std::u16string& table : created) static_cast<void>(store->DeleteDatabase(table));
    static_cast<void>(store->DeleteDatabase(catalog_name));
    return 0;
  };

  std::unique_ptr<ObjectStoreDatabase> catalog = store->OpenDatabase(catalog_name);
  if (catalog == nullptr) return undo();
  for (uint32_t i = 0; i < schema.Count(); ++i) {
    const DbTableSchema& table = *schema.At(i);
    if (table.name.Length() == 0 || table.columns.empty() ||
        catalog->AddRecord(CatalogRecordOf(table)) == 0) {
      return undo();
    }
  }
  catalog.reset();
  for (uint32_t i = 0; i < schema.Count(); ++i) {
    const DbTableSchema& table = *schema.At(i);
    const std::u16string table_name = StoreNameOf(table.name);
    if (!store->CreateDatabase(table_name, TypeIdOf(table.name),
                               TableSortOrder(table.columns.front()->Type()))) {
      return undo();
    }
    created.push_back(table_name);
  }
  return 1;
}

int ObjectStoreDriver::DeleteDatabase(const DbString& name) {
  ObjectStore* store = Store();
  if (store == nullptr) return 1;
  const std::u16string catalog_name = StoreNameOf(name);
  // A database that is not there is no failure; one that stays after its delete is.
  auto gone = [store](const std::u16string& database) {
    return store->DeleteDatabase(database) || !store->DatabaseExists(database);
  };
  std::unique_ptr<ObjectStoreDatabase> catalog = store->OpenDatabase(catalog_name);
  if (catalog == nullptr) return store->DatabaseExists(catalog_name) ? 0 : 1;
  bool whole = true;
  for (const std::u16string& table : CatalogTableNames(*catalog)) {
    if (table != catalog_name && !gone(table)) whole = false;
  }
  catalog.reset();
  // The catalog goes only after its tables, so that a failed delete can be tried again.
  if (!whole) return 0;
  return gone(catalog_name) ? 1 : 0;
}

}  // namespace ledgerix
