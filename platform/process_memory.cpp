#include "platform/process_memory.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/posix_io.h"

namespace ledgerix::platform {
namespace {

// A "Name:   1234 kB" line of /proc/self/status in bytes; -1 when the line is missing.
int64_t StatusKilobytes(const char* name) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t name_length = std::strlen(name);
  while (std::getline(status, line)) {
    if (line.compare(0, name_length, name) == 0 && line.size() > name_length &&
        line[name_length] == ':') {
      return std::strtoll(line.c_str() + name_length + 1, nullptr, 10) * 1024;
    }
  }
  return -1;
}

}  // namespace

int64_t CurrentMemoryBytes() {
  const int64_t resident = StatusKilobytes("VmRSS");
  return resident < 0 ? 0 : resident;
}

int64_t PeakMemoryBytes() {
  // VmHWM follows ResetPeakMemory; ru_maxrss counts from the start of the process whatever
  // happens, so it serves only where the status file is missing.
  const int64_t peak = StatusKilobytes("VmHWM");
  if (peak >= 0) return peak;
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;
}

bool ResetPeakMemory() {
  // Memory freed earlier but kept by the allocator would otherwise stay in the new peak.
  malloc_trim(0);
  // Writing 5 to clear_refs sets the high-water mark back to the current resident size.
  const int fd = open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteFully(fd, "5", 1) == 1;
  close(fd);
  return written;
}

}  // namespace ledgerix::platform
