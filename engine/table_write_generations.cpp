#include "engine/table_write_generations.h"

namespace ledgerix {

std::shared_ptr<uint64_t> TableWriteGenerations::CounterFor(const DbString& path) {
  auto found = counters_.find(path.View());
  if (found != counters_.end()) return found->second;
  auto counter = std::make_shared<uint64_t>(0);
  counters_.emplace(std::string(path.View()), counter);
  return counter;
}

}  // namespace ledgerix
