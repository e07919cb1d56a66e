#pragma once
// The device a fuzz target works on: one device root per process on a memory file system
// (/dev/shm when there is one), emptied between inputs, with a new PosixEnv for every input so
// that nothing one input leaves open or cached reaches the next. A template kept once per
// process (a database with known rows, say) is put back in a few file copies.

#include <memory>
#include <string>
#include <string_view>

#include "platform/posix_env.h"

namespace ledgerix::fuzz {

class FuzzDevice {
 public:
  // The device of this process, made on first use as "<memory fs>/ledgerix-fuzz-<pid>" and
  // removed when the process exits normally. Folders of this kind whose process has ended (a
  // crash does not clean up) are removed on the way. When the environment variable
  // LEDGERIX_FUZZ_KEEP names a folder, a broken promise copies the device root there first.
  static FuzzDevice& Get();

  FuzzDevice(const FuzzDevice&) = delete;
  FuzzDevice& operator=(const FuzzDevice&) = delete;

  // Closes the Env of the last input, empties the device root and answers a new Env on it,
  // owned by the device until the next call.
  platform::PosixEnv& Fresh();
  // As Fresh, but the device root then holds what SaveTemplate kept.
  platform::PosixEnv& FromTemplate();
  // Closes the Env (the object store is written whole to its file) and keeps a copy of what
  // the device root holds as the template.
  void SaveTemplate();
  // Closes the Env of the current input and answers a new one on the device root as it is.
  platform::PosixEnv& Reopen();
  // An empty host folder outside the device root for the current input's own files.
  std::string ScratchFolder();
  // Closes the Env of the current input, if any.
  void CloseEnv();
  // The Env of the current input; made by Fresh when there is none.
  platform::PosixEnv& env();

  // The host path behind a device path; empty for a bad path.
  std::string HostPath(std::u16string_view device_path) const;
  // The whole file at a device path; empty when it cannot be read.
  std::string ReadHostFile(std::u16string_view device_path) const;
  // Writes a file at a device path from outside the Env, creating its folders.
  bool WriteHostFile(std::u16string_view device_path, std::string_view bytes) const;
  bool Exists(std::u16string_view device_path) const;
  // The host folder of the device root.
  const std::string& root() const { return options_.device_root; }

 private:
  explicit FuzzDevice(const std::string& base);
  void EmptyRoot();

  std::string base_;
  std::string template_;
  platform::PosixEnvOptions options_;
  // Maps device paths to host paths; never opens anything.
  std::unique_ptr<platform::PosixEnv> paths_;
  std::unique_ptr<platform::PosixEnv> env_;
};

}  // namespace ledgerix::fuzz
