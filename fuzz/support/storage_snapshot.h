#pragma once
// Everything a finance database is stored in, taken whole so that two moments can be compared
// byte for byte: the files of the file database, or every record of every database of the
// object store (without object ids, which a store hands out afresh).

#include <map>
#include <string>

#include "engine/db_driver.h"
#include "fuzz/support/finance_rows.h"
#include "fuzz/support/fuzz_device.h"

namespace ledgerix::fuzz {

struct StorageSnapshot {
  std::map<std::string, std::string> files;  // kFileDatabase: file name to bytes
  StoreDump store;                           // the object store

  bool operator==(const StorageSnapshot& other) const = default;
};

// The storage of `kind` on the device as it is now (the object store through the current Env).
StorageSnapshot TakeSnapshot(DriverKind kind, FuzzDevice& device);

// True when `after` holds what `before` holds: the object store record for record, the files of
// the file database byte for byte, except that in a table file rows with equal first values
// may have changed places among themselves (see row_order.h).
bool SameStorage(const StorageSnapshot& before, const StorageSnapshot& after);

// What differs between two snapshots, for a message.
std::string DescribeDifference(const StorageSnapshot& before, const StorageSnapshot& after);

}  // namespace ledgerix::fuzz
