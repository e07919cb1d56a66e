#pragma once
// What the storage lists as the tables and columns of a database, read beside the driver: the
// layout check tells an older layout from a damaged one by it, and the salvage of a damaged
// table decodes its rows by it.

#include "engine/db_driver.h"
#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

// Reads the catalog of the database `name` kept by the driver of `kind` (3 object store, 6 file
// database) into *out. 1 when at least one table was read; 0 when there is no readable catalog.
int ReadStoredCatalog(platform::Env& env, DriverKind kind, const DbString& name, DbSchema* out);

}  // namespace ledgerix
