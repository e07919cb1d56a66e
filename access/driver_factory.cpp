#include "access/driver_factory.h"

#include "access/null_driver.h"
#include "access/object_store_driver.h"
#include "access/sql_text_driver.h"
#include "engine/file_db_driver.h"

namespace ledgerix {

std::unique_ptr<DbDriver> CreateDriver(DriverKind kind, platform::Env& env) {
  switch (kind) {
    case DriverKind::kNull:
    case DriverKind::kNull4:
      return std::make_unique<NullDriver>();
    case DriverKind::kSqlText:
      return std::make_unique<SqlTextDriver>();
    case DriverKind::kObjectStore:
      return std::make_unique<ObjectStoreDriver>(env);
    case DriverKind::kFileDatabase:
      return std::make_unique<FileDbDriver>(env);
    default:
      return nullptr;
  }
}

}  // namespace ledgerix
