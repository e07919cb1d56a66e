#include "access/driver_factory.h"

#include "access/null_driver.h"
#include "access/sql_text_driver.h"

namespace ledgerix {

std::unique_ptr<DbDriver> CreateDriver(int kind, platform::Env& env) {
  (void)env;
  switch (kind) {
    case kDriverNull:
    case kDriverNull4:
      return std::make_unique<NullDriver>();
    case kDriverSqlText:
      return std::make_unique<SqlTextDriver>();
    case kDriverObjectStore:
    case kDriverFileDatabase:
      return nullptr;  // wired to ObjectStoreDriver and FileDbDriver by the lead
    default:
      return nullptr;
  }
}

}  // namespace ledgerix
