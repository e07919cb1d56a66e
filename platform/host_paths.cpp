#include "platform/host_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/posix_io.h"

namespace ledgerix::platform {
namespace {

// The value of an environment variable when it is an absolute path, else empty. The XDG rules
// say a relative value is to be ignored.
std::string AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

std::string HomeFolder() {
  std::string home = AbsoluteFromEnvironment("HOME");
  if (!home.empty()) return home;
  // No HOME (a service or a bare environment): ask the user database.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    return {};
  }
  return found->pw_dir;
}

}  // namespace

std::string DefaultDeviceRoot() {
  const std::string data_home = AbsoluteFromEnvironment("XDG_DATA_HOME");
  if (!data_home.empty()) return data_home + "/ledgerix";
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.local/share/ledgerix";
}

std::string DefaultDocumentsFolder() {
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/Documents";
}

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
  return FolderOf(std::string(buffer.data(), static_cast<size_t>(length)));
}

bool DisplayNamed() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

std::string TemporaryFolder() {
  const std::string tmpdir = AbsoluteFromEnvironment("TMPDIR");
  return tmpdir.empty() ? std::string("/tmp") : tmpdir;
}

}  // namespace ledgerix::platform
