#pragma once
// A fresh device for one test: a temporary host folder holding a device root, a documents
// folder and a program folder, with a PosixEnv on them. Everything is removed when the object
// is destroyed, so no test touches the real device root or another test's files.

#include <memory>
#include <string>
#include <string_view>

#include "platform/posix_env.h"

namespace ledgerix::testing {

class TempDeviceRoot {
 public:
  // Makes the folders under $TMPDIR (or /tmp). Should that fail, the test fails with a message
  // and env() works on folders that do not exist, so every file call fails.
  TempDeviceRoot();
  // Closes the Env's handles, then removes the whole temporary folder.
  ~TempDeviceRoot();
  TempDeviceRoot(const TempDeviceRoot&) = delete;
  TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

  platform::PosixEnv& env() { return *env_; }

  const std::string& host_root() const { return env_->options().device_root; }
  const std::string& documents_folder() const { return env_->options().documents_folder; }
  const std::string& program_folder() const { return env_->options().program_folder; }

  // The host path behind a device path (empty for a bad path), to check files from outside.
  std::string HostPath(std::u16string_view device_path) const;
  // The whole contents of the file at a device path; empty when it cannot be read.
  std::string ReadHostFile(std::u16string_view device_path) const;
  // Writes a file at a device path from outside the Env, creating its folders; false on failure.
  bool WriteHostFile(std::u16string_view device_path, std::string_view contents) const;
  // True when a file or folder exists at the device path.
  bool Exists(std::u16string_view device_path) const;

 private:
  std::string base_;
  std::unique_ptr<platform::PosixEnv> env_;
};

}  // namespace ledgerix::testing
