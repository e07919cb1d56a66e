#include "access/driver_factory.h"

#include "access/null_driver.h"
#include "access/object_store_driver.h"
#include "access/sql_text_driver.h"
#include "engine/file_db_driver.h"

namespace ledgerix {

std::unique_ptr<DbDriver> CreateDriver(int kind, platform::Env& env) {
  switch (kind) {
    case kDriverNull:
    case kDriverNull4:
      return std::make_unique<NullDriver>();
    case kDriverSqlText:
      return std::make_unique<SqlTextDriver>();
    case kDriverObjectStore:
      return std::make_unique<ObjectStoreDriver>(env);
    case kDriverFileDatabase:
      return std::make_unique<FileDbDriver>(env);
    default:
      return nullptr;
  }
}

}  // namespace ledgerix
