#include "finance/stored_catalog.h"

#include "access/object_store_catalog.h"
#include "engine/catalog_file.h"
#include "engine/db_driver.h"
#include "platform/object_store.h"
#include "platform/object_store_database.h"

namespace ledgerix {

int ReadStoredCatalog(platform::Env& env, DriverKind kind, const DbString& name, DbSchema* out) {
  out->Clear();
  if (kind == DriverKind::kFileDatabase) return ReadCatalog(env, name, out);
  platform::ObjectStore* store = env.Objects();
  if (store == nullptr) return 0;
  std::unique_ptr<platform::ObjectStoreDatabase> catalog = store->OpenDatabase(StoreNameOf(name));
  if (catalog == nullptr || !ReadCatalog(*catalog, out)) return 0;
  return out->Count() > 0 ? 1 : 0;
}

}  // namespace ledgerix
