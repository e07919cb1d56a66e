#include "finance/stored_catalog.h"

#include "engine/catalog_file.h"
#include "engine/db_driver.h"

namespace ledgerix {

int ReadStoredCatalog(platform::Env& env, int kind, const DbString& name, DbSchema* out) {
  out->Clear();
  if (kind == kDriverFileDatabase) return ReadCatalog(env, name, out);
  return 0;
}

}  // namespace ledgerix
