#pragma once
// The catalog of a file database: the file "<database>.$db$" in the database folder, holding one
// record per table one after another: the table's name (Text), its column count (Int16, taken
// unsigned), then per column its name (Text) and its type code (Int16).

#include <cstdint>

#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// The catalog file's device path (the database folder is created on the way).
DbString CatalogPath(platform::Env& env, const DbString& database_name);

// Appends the catalog record of `table` to *out. 0, leaving *out unchanged, when the table has
// more columns than 16 bits can count.
[[nodiscard]] int AppendTableRecord(const DbTableSchema& table, DbString* out);

// Decodes catalog records from the front of `bytes` into *schema until the bytes are used up.
// A record that cannot be decoded whole (its name, its count or any of its columns) ends the
// reading and is left out, so no table is ever known with fewer columns than it was created
// with. 1 when at least one table was read; 0 for an empty catalog or a broken first record.
[[nodiscard]] int DecodeCatalog(std::string_view bytes, DbSchema* schema);

// Decodes as DecodeCatalog does, but answers true only for a catalog as it was written: table
// records to the very end of `bytes`, at least one of them. A catalog that decodes only in part
// (cut short, or with bytes after its last whole record) answers false.
[[nodiscard]] bool DecodeWholeCatalog(std::string_view bytes, DbSchema* schema);

// Reads the catalog file of `database_name`, which must exist, and decodes it into *schema
// (cleared first). 1 when at least one table was read.
[[nodiscard]] int ReadCatalog(platform::Env& env, const DbString& database_name, DbSchema* schema);

// Creates an empty table file for every table with columns whose file is missing; files that
// exist are left as they are. Failures are ignored: opening the table reports them.
void CreateMissingTableFiles(platform::Env& env, const DbSchema& schema);

}  // namespace ledgerix
