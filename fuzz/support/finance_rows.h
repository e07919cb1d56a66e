#pragma once
// Rows of the finance tables as the fuzz targets compare them, read from wherever they are:
// through a record set of the open database, from the bytes of a table file, from the records of
// the object store. A row is a value per column, whole numbers in decimal and texts as their
// bytes, so rows from any of these compare as they are.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/db_driver.h"
#include "engine/db_schema.h"
#include "finance/finance_db.h"
#include "platform/object_store.h"
#include "platform/property.h"

namespace ledgerix::fuzz {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

// The row as an exchange line writes it, "v1;v2;...;", byte for byte.
std::string Joined(const Row& row);

// "v1;v2;...;" for messages (as UTF-8 where the texts allow).
std::string Describe(const Row& row);
std::string Describe(const Rows& rows);

// Every row of a table of the open database through a record set, in the driver's order. False
// when the table does not open or a row does not read.
bool ReadTable(FinanceDb& db, const char* table, Rows* out);

// The slots of a table file decoded under `table`, whose columns must be Int32 or Text: each
// slot is 18 bytes per column; a slot decodes when every column does within it (four bytes of
// a whole number, a text up to its 0 byte). Slots that do not decode are counted, and so are
// bytes after the last whole slot (as one).
struct DecodedTableFile {
  Rows rows;
  uint32_t undecodable = 0;
};
DecodedTableFile DecodeTableFile(std::string_view bytes, const DbTableSchema& table);

// The records converted to rows under `table` as the object-store driver reads them: a record
// converts when it has a property per column and each converts to its column (nullopt stands
// for a record that could not be read at all and never converts).
using StoredRecord = std::optional<std::vector<platform::Property>>;
Rows ConvertRecords(const std::vector<StoredRecord>& records, const DbTableSchema& table);

// True when the tables hold the same rows in the same order, for the file database up to the
// order of rows with equal first values (row_order.h).
bool SameTables(DriverKind kind, const std::vector<Rows>& a, const std::vector<Rows>& b);

// The rows of `a` that `b` lacks, counting repeats: a row twice in `a` and once in `b` is once
// in the answer.
Rows Missing(const Rows& a, const Rows& b);

// What one database of the object store holds, in sort order.
struct DatabaseDump {
  platform::DatabaseInfo info;
  uint32_t record_count = 0;  // the count the store keeps
  std::vector<StoredRecord> records;

  bool operator==(const DatabaseDump& other) const;
};
// Every database of a store by name: those it lists, and those of the finance database that it
// finds by name although it does not list them so (a damaged store).
using StoreDump = std::map<std::u16string, DatabaseDump>;
StoreDump DumpStore(platform::ObjectStore& store);
// The dump of the store kept in a host file (with its "-wal" file beside it, if any), read
// through an Env on a copy of it in `scratch_folder` so that the file itself is not touched;
// nullopt when it does not open as a store.
std::optional<StoreDump> DumpStoreFile(const std::string& host_file,
                                       const std::string& scratch_folder);

}  // namespace ledgerix::fuzz
