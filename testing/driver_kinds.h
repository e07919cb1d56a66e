#pragma once
// The two storage kinds that keep the user's data, for tests that run once on each, and the
// names their runs carry.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/db_driver.h"

namespace ledgerix {

// How test output names a kind.
inline void PrintTo(DriverKind kind, std::ostream* os) { *os << static_cast<int>(kind); }

}  // namespace ledgerix

namespace ledgerix::testing {

// ::testing::Values of the object store and the file database.
inline auto BothStorageKinds() {
  return ::testing::Values(DriverKind::kObjectStore, DriverKind::kFileDatabase);
}

// "ObjectStore" or "FileDatabase", for INSTANTIATE_TEST_SUITE_P.
inline std::string StorageKindName(const ::testing::TestParamInfo<DriverKind>& info) {
  return info.param == DriverKind::kFileDatabase ? "FileDatabase" : "ObjectStore";
}

}  // namespace ledgerix::testing
