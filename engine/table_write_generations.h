#pragma once
// TableWriteGenerations: one write counter per table file path, shared by every TableFile open
// on that path, so that bytes a TableFile keeps from an earlier read are known to be stale once
// another TableFile on the same file has written.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "engine/db_string.h"

namespace ledgerix {

class TableWriteGenerations {
 public:
  // The counter of `path` (compared byte for byte), created at 0 on first use. The counter
  // stays valid for its holders even after this registry is gone.
  std::shared_ptr<uint64_t> CounterFor(const DbString& path);

 private:
  std::map<std::string, std::shared_ptr<uint64_t>, std::less<>> counters_;
};

}  // namespace ledgerix
