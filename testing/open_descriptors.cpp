#include "testing/open_descriptors.h"

#include <filesystem>
#include <system_error>

namespace ledgerix::testing {

int OpenDescriptorCount() {
  std::error_code error;
  int count = 0;
  for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    ++count;
  }
  // The iterator's own descriptor was among those counted.
  return error ? -1 : count - 1;
}

}  // namespace ledgerix::testing
