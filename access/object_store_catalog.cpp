#include "access/object_store_catalog.h"

#include <utility>
#include <variant>

#include "access/object_store_values.h"

namespace ledgerix {
namespace {

using platform::Property;
using platform::PropertyKind;

bool IsText(const Property& property) { return property.kind() == PropertyKind::kText; }

DbString NarrowOf(const Property& text) {
  return DbString(std::u16string_view(std::get<std::u16string>(text.value)));
}

// The stored code of a column: any numeric or boolean property.
bool CodeOf(const Property& property, int64_t* code) {
  switch (property.kind()) {
    case PropertyKind::kInt16:
      *code = std::get<int16_t>(property.value);
      return true;
    case PropertyKind::kInt32:
      *code = std::get<int32_t>(property.value);
      return true;
    case PropertyKind::kBool:
      *code = std::get<bool>(property.value) ? 1 : 0;
      return true;
    case PropertyKind::kDouble: {
      const double value = std::get<double>(property.value);
      // Outside the codes anyway; kept clear of an undefined conversion.
      *code = value > -1e9 && value < 1e9 ? static_cast<int64_t>(value) : -1;
      return true;
    }
    default:
      return false;
  }
}

bool DescribesTable(const std::vector<Property>& record) {
  return record.size() >= 3 && record.size() % 2 == 1;
}

}  // namespace

std::u16string StoreNameOf(const DbString& name) {
  return std::u16string(name.Wide(), name.Length());
}

uint32_t TypeIdOf(const DbString& name) { return static_cast<uint32_t>(name.ByteSum()); }

std::vector<Property> CatalogRecordOf(const DbTableSchema& table) {
  std::vector<Property> record;
  record.reserve(2 * table.columns.size() + 1);
  record.push_back(Property::Text(0, StoreNameOf(table.name)));
  uint16_t id = 1;
  for (const auto& column : table.columns) {
    record.push_back(Property::Int32(id++, ValueKindCodeOf(column->Type())));
    record.push_back(Property::Text(id++, StoreNameOf(column->Name())));
  }
  return record;
}

CatalogRecord ParseCatalogRecord(const std::vector<Property>& record, DbTableSchema* out) {
  if (!DescribesTable(record)) return CatalogRecord::kSkipped;
  if (!IsText(record[0])) return CatalogRecord::kInvalid;
  DbTableSchema table(NarrowOf(record[0]));
  for (size_t i = 1; i + 1 < record.size(); i += 2) {
    int64_t code = 0;
    if (!CodeOf(record[i], &code) || !IsText(record[i + 1])) return CatalogRecord::kInvalid;
    table.AddColumn(NarrowOf(record[i + 1]), TypeOfValueKindCode(code));
  }
  *out = std::move(table);
  return CatalogRecord::kTable;
}

bool ReadCatalog(platform::ObjectStoreDatabase& catalog, DbSchema* schema,
                 uint32_t* skipped_records) {
  if (skipped_records != nullptr) *skipped_records = 0;
  std::vector<Property> record;
  for (bool more = catalog.SeekFirst(); more; more = catalog.SeekNext()) {
    DbTableSchema table;
    if (!catalog.ReadCurrent(&record)) {
      schema->Clear();
      return false;
    }
    switch (ParseCatalogRecord(record, &table)) {
      case CatalogRecord::kTable:
        schema->Append(std::move(table));
        break;
      case CatalogRecord::kSkipped:
        if (skipped_records != nullptr) ++*skipped_records;
        break;
      case CatalogRecord::kInvalid:
        schema->Clear();
        return false;
    }
  }
  return true;
}

std::vector<std::u16string> CatalogTableNames(platform::ObjectStoreDatabase& catalog) {
  std::vector<std::u16string> names;
  std::vector<Property> record;
  for (bool more = catalog.SeekFirst(); more; more = catalog.SeekNext()) {
    if (catalog.ReadCurrent(&record) && DescribesTable(record) && IsText(record[0])) {
      names.push_back(std::get<std::u16string>(record[0].value));
    }
  }
  return names;
}

}  // namespace ledgerix
