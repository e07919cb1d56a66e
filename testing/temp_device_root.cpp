#include "testing/temp_device_root.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/host_paths.h"

namespace ledgerix::testing {
namespace {

namespace fs = std::filesystem;

std::string MakeTempFolder() {
  std::string pattern = platform::TemporaryFolder() + "/ledgerix-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
    return pattern;
  }
  return buffer.data();
}

// Tests may leave read-only files and folders behind; make everything removable.
void MakeWritable(const fs::path& folder) {
  std::error_code error;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
}

}  // namespace

TempDeviceRoot::TempDeviceRoot() : base_(MakeTempFolder()) {
  platform::PosixEnvOptions options;
  options.device_root = base_ + "/root";
  options.documents_folder = base_ + "/documents";
  options.program_folder = base_ + "/program";
  std::error_code ignored;
  fs::create_directories(options.program_folder, ignored);
  env_ = std::make_unique<platform::PosixEnv>(std::move(options));
}

TempDeviceRoot::~TempDeviceRoot() {
  env_.reset();
  MakeWritable(base_);
  std::error_code ignored;
  fs::remove_all(base_, ignored);
}

std::string TempDeviceRoot::HostPath(std::u16string_view device_path) const {
  std::string host_path;
  if (!env_->HostPath(device_path, &host_path)) return {};
  return host_path;
}

std::string TempDeviceRoot::ReadHostFile(std::u16string_view device_path) const {
  std::ifstream in(HostPath(device_path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempDeviceRoot::WriteHostFile(std::u16string_view device_path,
                                   std::string_view contents) const {
  const std::string host_path = HostPath(device_path);
  if (host_path.empty()) return false;
  std::error_code error;
  fs::create_directories(fs::path(host_path).parent_path(), error);
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return static_cast<bool>(out.flush());
}

bool TempDeviceRoot::Exists(std::u16string_view device_path) const {
  const std::string host_path = HostPath(device_path);
  std::error_code error;
  return !host_path.empty() && fs::exists(fs::symlink_status(host_path, error));
}

}  // namespace ledgerix::testing
