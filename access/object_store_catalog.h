#pragma once
// The catalog of a database kept in the object store: one record per table holding the table
// name, then for each column its value-kind code and its name (2n + 1 properties for n
// columns, numbered from 0); and the names and type ids under which the platform databases are
// kept.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "platform/object_store_database.h"
#include "platform/property.h"

namespace ledgerix {

// A name as the store keeps it: each Windows-1251 byte as its 16-bit character.
std::u16string StoreNameOf(const DbString& name);

// The type id of a platform database: the sum of the bytes of its name taken as signed 8-bit
// numbers ("[sec_data]" gives 1004).
uint32_t TypeIdOf(const DbString& name);

// The catalog record of a table.
std::vector<platform::Property> CatalogRecordOf(const DbTableSchema& table);

enum class CatalogRecord {
  kTable,    // a table description, now in *out
  kSkipped,  // an even number of properties, or a single one: not a table
  kInvalid,  // an odd number of at least 3 whose shape is wrong
};
// Reads one catalog record (properties by position). *out is replaced only for kTable.
CatalogRecord ParseCatalogRecord(const std::vector<platform::Property>& record, DbTableSchema* out);

// Reads every record of an open catalog into `schema` (appended in catalog order). False, with
// the schema emptied, when a record cannot be read or is invalid. Records that describe no
// table are skipped; their number goes to *skipped_records when it is given.
[[nodiscard]] bool ReadCatalog(platform::ObjectStoreDatabase& catalog, DbSchema* schema,
                               uint32_t* skipped_records = nullptr);

// The table names of a catalog: the first property of every readable record of an odd number
// (3 or more) of properties that starts with a text, whatever the rest holds. What deleting the
// database removes, so that a catalog that no longer reads leaves no tables behind.
std::vector<std::u16string> CatalogTableNames(platform::ObjectStoreDatabase& catalog);

}  // namespace ledgerix
