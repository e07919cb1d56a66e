#pragma once
// Restoring an exchange file into a database with known rows, for the targets of both storage
// kinds. What must hold for every input:
// - a restore that fails changes nothing: the storage is byte for byte as before;
// - a restore that succeeds leaves every table readable, leaves the tables that have no section
//   in the file as they were, and is stable: writing the exchange file and restoring that gives
//   the same storage, the same tables and the same text.
// In the file database rows with equal first values may change places among themselves (see
// row_order.h); everything else is compared byte for byte.

#include <cstddef>
#include <cstdint>

#include "engine/db_driver.h"

namespace ledgerix::fuzz {

// Runs one input (the whole exchange file) on a device of this process.
void RunExchangeLoad(DriverKind kind, const uint8_t* data, size_t size);

}  // namespace ledgerix::fuzz
