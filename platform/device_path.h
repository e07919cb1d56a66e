#pragma once
// Device paths ("\settings\tv_ledgrx.$$$") and where they live on the host: the device root is
// one host folder, and the device folder "\My Documents" is the user's documents folder.

#include <string>
#include <string_view>
#include <vector>

namespace ledgerix::platform {

// The host folders behind the device's file system.
struct DeviceFolders {
  std::string root;       // the host folder of the device root "\"
  std::string documents;  // the host folder of "\My Documents"
};

// Splits a device path into its folder and file names. "\" separates names, repeated
// separators count once, a leading "\" is optional (every path is taken from the root) and a
// name "." is dropped. Answers false for a path that cannot name a place inside the device: a
// name "..", or a name holding "/" or a NUL character (the host would read those as structure).
[[nodiscard]] bool SplitDevicePath(std::u16string_view path, std::vector<std::u16string>* names);

// True when the text holds "*" or "?", which only search patterns may carry.
bool HasWildcards(std::u16string_view text);

// True when `name` is the device folder "My Documents" in any letter case.
bool IsDocumentsFolderName(std::u16string_view name);

// Maps device paths onto host paths. Copyable; holds only the two host folders.
class DevicePathMap {
 public:
  explicit DevicePathMap(DeviceFolders folders);

  // Maps a device path onto a UTF-8 host path. Answers false (a bad path: kInvalidName) when
  // SplitDevicePath refuses it or a name is not valid UTF-16.
  [[nodiscard]] bool ToHost(std::u16string_view device_path, std::string* host_path) const;
  // The same for a path already split into names.
  [[nodiscard]] bool ToHost(const std::vector<std::u16string>& names, std::string* host_path) const;

  const DeviceFolders& folders() const { return folders_; }

 private:
  DeviceFolders folders_;
};

}  // namespace ledgerix::platform
