#pragma once
// The mark of a rebuild of the finance database from an exchange text: written to stable storage
// before anything of the old database is deleted, and removed once the new database holds every
// row of the text. A start that finds it (the rebuild was cut short by a crash or failed part
// way) does the rebuild again from the text instead of opening what was left half done.

#include "engine/db_driver.h"
#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

enum class RebuildSource {
  kOlderLayout,    // the text is the backup of a database of the older layout, to be converted
  kRecoveredRows,  // the text holds the rows read from a damaged database, to be loaded as is
};

struct RebuildMarker {
  RebuildSource source = RebuildSource::kRecoveredRows;
  DbString text_path;  // device path of the exchange text
};

enum class MarkerState {
  kNone,        // no rebuild is pending
  kFound,       // a rebuild is pending
  kUnreadable,  // a mark exists but cannot be read
};

// The mark for the database `name` kept by the driver of `kind`, in the "data" folder.
DbString RebuildMarkerPath(platform::Env& env, const DbString& name, DriverKind kind);

// Writes the mark (replacing any) and brings it to stable storage. 1 when written.
[[nodiscard]] int WriteRebuildMarker(platform::Env& env, const DbString& name, DriverKind kind,
                                     const RebuildMarker& marker);
// Reads the mark into *out. A mark that does not name a source and a text is kUnreadable;
// *failure then says why.
MarkerState ReadRebuildMarker(platform::Env& env, const DbString& name, DriverKind kind,
                              RebuildMarker* out, platform::FailureDetail* failure);
// Removes the mark. 1 when no mark remains.
[[nodiscard]] int RemoveRebuildMarker(platform::Env& env, const DbString& name, DriverKind kind);

}  // namespace ledgerix
