#pragma once
// Salvaging the rows of a database that cannot be used as it is (a table that does not open),
// so that a rebuild keeps every row that can still be read, exactly as it was stored.

#include <vector>

#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "engine/db_value.h"
#include "platform/env.h"

namespace ledgerix {

class DbConnection;

// The rows read from one table, each a value per column, with the columns' names.
struct SalvagedTable {
  DbString name;
  std::vector<DbString> columns;
  std::vector<std::vector<DbValue>> rows;
};

// Reads every row of `table` that the connection can fetch, skipping rows that fail. False
// when the table cannot be opened.
bool SalvageThroughRecordSet(DbConnection& connection, const char* table, SalvagedTable* out);

// Reads the whole slots of a file database table file by the table's columns, for a table the
// driver will not open (its size is not a whole number of slots); a slot that does not decode
// is skipped and bytes after the last whole slot are left out. False when the file cannot be
// read.
bool SalvageTableFile(platform::Env& env, const DbTableSchema& table, SalvagedTable* out);

// Adds the rows to the table of the same name in the open database, each value into the column
// of its name (columns the table does not have are left out). Answers the number of rows that
// could not be stored; every row counts as failed when the table does not open.
int RestoreSalvagedRows(DbConnection& connection, const SalvagedTable& table);

}  // namespace ledgerix
