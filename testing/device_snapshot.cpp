#include "testing/device_snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace ledgerix::testing {
namespace {

namespace fs = std::filesystem;

}  // namespace

DeviceSnapshot::DeviceSnapshot(TempDeviceRoot& device) : device_(device) {
  device_.env().CloseObjectStore();
  for (const std::string& top : {device_.host_root(), device_.documents_folder()}) {
    folders_.insert(top);
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(top, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      const std::string path = it->path().string();
      if (it->is_directory(error)) {
        folders_.insert(path);
      } else {
        std::ifstream in(path, std::ios::binary);
        files_[path] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      }
    }
    EXPECT_FALSE(error) << "cannot read " << top << ": " << error.message();
  }
}

bool DeviceSnapshot::Restore() {
  device_.env().CloseObjectStore();
  for (const std::string& top : {device_.host_root(), device_.documents_folder()}) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(top, error)) {
      fs::remove_all(entry.path(), error);
      if (error) break;
    }
    if (error) {
      ADD_FAILURE() << "cannot empty " << top << ": " << error.message();
      return false;
    }
  }
  // A set orders a folder before the folders inside it.
  for (const std::string& folder : folders_) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
      ADD_FAILURE() << "cannot make " << folder << ": " << error.message();
      return false;
    }
  }
  for (const auto& [path, content] : files_) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out.flush()) {
      ADD_FAILURE() << "cannot write " << path;
      return false;
    }
  }
  return true;
}

}  // namespace ledgerix::testing
