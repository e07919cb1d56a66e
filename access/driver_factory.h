#pragma once
// CreateDriver: the one place that turns a driver kind into the storage driver behind a
// connection.

#include <memory>

#include "engine/db_driver.h"
#include "platform/env.h"

namespace ledgerix {

// A new driver of the kind: kinds 0 and 4 the null driver, 2 the SQL-text driver, 3 the
// object-store driver, 6 the file database driver; null for every other kind. The driver keeps
// a reference to `env`, which must outlive it.
std::unique_ptr<DbDriver> CreateDriver(int kind, platform::Env& env);

}  // namespace ledgerix
