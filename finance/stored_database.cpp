#include "finance/stored_database.h"

#include "finance/file_database_storage.h"
#include "finance/object_store_storage.h"

namespace ledgerix {

std::unique_ptr<StoredDatabase> StoredDatabase::ForKind(DriverKind kind, platform::Env& env) {
  if (kind == DriverKind::kFileDatabase) return std::make_unique<FileDatabaseStorage>(env);
  return std::make_unique<ObjectStoreStorage>(env);
}

}  // namespace ledgerix
