#pragma once
// Damage to the finance database in an object store, chosen by fuzz input: a list of changes to
// the records and databases of the store and to the bytes of its file, read from the input and
// applied in three steps: through the store's own record operations (with the device's Env),
// then straight in its SQLite tables (the counts, sort orders, names and record bytes the store
// keeps beside the records), then to the bytes of the file.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_device.h"
#include "platform/property.h"

namespace ledgerix::fuzz {

enum class Damage : uint8_t {
  // Through the store's record operations.
  kChangeProperty,  // one property of a record replaced by another (kind and value)
  kReplaceRecord,   // a record's properties replaced by a new list
  kDeleteRecord,
  kAddRecord,  // a copy of a record with one property changed, or a new list
  kDeleteDatabase,
  kCreateDatabase,  // made again (when it is gone) with another type id and sort order
  // In the store's tables.
  kRecordBytes,  // the stored bytes of a record's properties
  kRecordCount,  // the count the store keeps of a database's records
  kSortOrder,    // the sort property and kind a database is kept in
  kTypeId,
  kSortKey,  // the key a record is kept in order by
  kRename,   // the name of a database
  // In the file.
  kFileBytes,  // bytes of the store's file overwritten
  kLast = kFileBytes,
};

struct DamageStep {
  Damage kind = Damage::kChangeProperty;
  uint8_t database = 0;   // 0 the catalog, then the tables in the order of the finance layout
  uint32_t index = 0;     // the record (taken modulo the record count)
  uint32_t position = 0;  // the property, the sort property
  int64_t number = 0;     // a count, a type id, a sort kind, an offset into the file
  std::vector<platform::Property> properties;
  std::string bytes;
};

// Reads up to 16 steps from the input.
std::vector<DamageStep> ReadDamage(FuzzedDataProvider& input);

// The steps as text, one a line, for a look at an input that broke a promise.
std::string DescribeDamage(const std::vector<DamageStep>& steps);

// Applies the steps to the store of the device (whose Env must not have the store open). Steps
// that do not apply (a record that is not there) do nothing. The Env of the device is closed.
void ApplyDamage(FuzzDevice& device, const std::vector<DamageStep>& steps);

}  // namespace ledgerix::fuzz
