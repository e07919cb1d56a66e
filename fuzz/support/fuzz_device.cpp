#include "fuzz/support/fuzz_device.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "fuzz/support/fuzz_check.h"
#include "platform/host_paths.h"

namespace ledgerix::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = "ledgerix-fuzz-";

// /dev/shm keeps every file in memory, so the many small writes of an input cost no disk.
std::string MemoryFolder() {
  std::error_code error;
  if (fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return platform::TemporaryFolder();
}

// Removes the folders of fuzz processes that are no longer running.
void RemoveAbandoned(const std::string& parent) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(parent, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + sizeof(kPrefix) - 1, nullptr, 10);
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
  }
}

FuzzDevice* the_device = nullptr;

void KeepRoot() {
  const char* keep = std::getenv("LEDGERIX_FUZZ_KEEP");
  if (the_device == nullptr || keep == nullptr) return;
  std::error_code error;
  fs::remove_all(keep, error);
  fs::copy(the_device->root(), keep, fs::copy_options::recursive, error);
  std::fprintf(stderr, "the device root is kept in %s%s\n", keep,
               error ? (": " + error.message()).c_str() : "");
}

void RemoveAtExit() {
  if (the_device == nullptr) return;
  the_device->CloseEnv();
  std::error_code ignored;
  fs::remove_all(fs::path(the_device->root()).parent_path(), ignored);
}

}  // namespace

FuzzDevice& FuzzDevice::Get() {
  if (the_device == nullptr) {
    const std::string parent = MemoryFolder();
    RemoveAbandoned(parent);
    // Lives until exit; RemoveAtExit, registered after it was made, runs before it goes.
    static FuzzDevice device(parent + "/" + kPrefix + std::to_string(::getpid()));
    the_device = &device;
    std::atexit(RemoveAtExit);
    SetViolationHook(KeepRoot);
  }
  return *the_device;
}

FuzzDevice::FuzzDevice(const std::string& base) : base_(base), template_(base + "/template") {
  std::error_code error;
  fs::remove_all(base_, error);
  options_.device_root = base_ + "/root";
  options_.documents_folder = base_ + "/documents";
  options_.program_folder = base_ + "/program";
  fs::create_directories(options_.program_folder, error);
  fs::create_directories(template_, error);
  paths_ = std::make_unique<platform::PosixEnv>(options_);
  FUZZ_CHECK(paths_->Ready(), "cannot make the device root " + options_.device_root);
}

void FuzzDevice::CloseEnv() { env_.reset(); }

void FuzzDevice::EmptyRoot() {
  CloseEnv();
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(options_.device_root, error)) {
    std::error_code ignored;
    // Files an input made read-only come away with the folder's own permissions.
    fs::remove_all(entry.path(), ignored);
  }
}

platform::PosixEnv& FuzzDevice::Fresh() {
  EmptyRoot();
  env_ = std::make_unique<platform::PosixEnv>(options_);
  return *env_;
}

platform::PosixEnv& FuzzDevice::Reopen() {
  CloseEnv();
  env_ = std::make_unique<platform::PosixEnv>(options_);
  return *env_;
}

std::string FuzzDevice::ScratchFolder() {
  const std::string folder = base_ + "/scratch";
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder, error);
  FUZZ_CHECK(!error, "cannot make " + folder + ": " + error.message());
  return folder;
}

platform::PosixEnv& FuzzDevice::FromTemplate() {
  std::error_code error;
  // libFuzzer's timer signal may interrupt the copy (the kernel's file copy gives up with
  // EINTR); it is then made again from an empty root.
  for (int attempt = 0; attempt < 10; ++attempt) {
    EmptyRoot();
    fs::copy(template_, options_.device_root, fs::copy_options::recursive, error);
    if (error != std::errc::interrupted) break;
  }
  FUZZ_CHECK(!error, "cannot put the template back: " + error.message());
  env_ = std::make_unique<platform::PosixEnv>(options_);
  return *env_;
}

void FuzzDevice::SaveTemplate() {
  CloseEnv();
  std::error_code error;
  fs::remove_all(template_, error);
  fs::copy(options_.device_root, template_, fs::copy_options::recursive, error);
  FUZZ_CHECK(!error, "cannot keep the template: " + error.message());
}

platform::PosixEnv& FuzzDevice::env() {
  if (env_ == nullptr) return Fresh();
  return *env_;
}

std::string FuzzDevice::HostPath(std::u16string_view device_path) const {
  std::string host_path;
  if (!paths_->HostPath(device_path, &host_path)) return {};
  return host_path;
}

std::string FuzzDevice::ReadHostFile(std::u16string_view device_path) const {
  std::ifstream in(HostPath(device_path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FuzzDevice::WriteHostFile(std::u16string_view device_path, std::string_view bytes) const {
  const std::string host_path = HostPath(device_path);
  if (host_path.empty()) return false;
  std::error_code error;
  fs::create_directories(fs::path(host_path).parent_path(), error);
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool FuzzDevice::Exists(std::u16string_view device_path) const {
  const std::string host_path = HostPath(device_path);
  std::error_code error;
  return !host_path.empty() && fs::exists(fs::symlink_status(host_path, error));
}

}  // namespace ledgerix::fuzz
