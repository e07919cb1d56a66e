#pragma once
// CreateDriver: the one place that turns a driver kind into the storage driver behind a
// connection.

#include <memory>

#include "engine/db_driver.h"
#include "platform/env.h"

namespace ledgerix {

// A new driver of the kind: the null driver for kNull and kNull4, the SQL-text driver, the
// object-store driver, the file database driver; null for any other number. The driver keeps
// a reference to `env`, which must outlive it.
std::unique_ptr<DbDriver> CreateDriver(DriverKind kind, platform::Env& env);

}  // namespace ledgerix
