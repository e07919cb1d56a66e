#include "bench/prepared_household.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/startup.h"
#include "engine/settings_store.h"
#include "platform/clock.h"

namespace ledgerix::bench {
namespace fs = std::filesystem;
namespace {

// Names what the generator builds; a kept database of another description is built anew.
// Raise the version whenever the household or its writing changes.
std::string Description(int kind, const HouseholdOptions& options) {
  std::ostringstream text;
  text << "household v1 kind " << kind << " entries " << options.entries << " seed " << options.seed
       << "\n";
  return text.str();
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Makes the program start with driver `kind`, as its settings choose it.
bool ChooseDriver(platform::Env& env, int kind) {
  SettingsStore settings(env);
  if (!settings.Bind(kSettingsName)) return false;
  DeclareStartupSettings(settings);
  settings.WriteSetting("IS_SYSTEMTYPE_DB", DbValue(int32_t{kind == 6 ? 0 : 1}));
  return settings.Save() == 1;
}

bool Build(const fs::path& device, int kind, const HouseholdOptions& options, std::string* error) {
  platform::PosixEnv env(DeviceFolders(device));
  if (!env.Ready() || !ChooseDriver(env, kind)) {
    *error = "cannot make the device at " + device.string();
    return false;
  }
  platform::SystemClock clock;
  FinanceGlobals globals;
  globals.storage_kind = static_cast<ledgerix::DriverKind>(kind);
  FinanceDb db(env, clock, globals);
  if (!db.Open(kDatabaseName)) {
    *error = "cannot create the database";
    return false;
  }
  if (!WriteHousehold(MakeHousehold(options), db)) {
    *error = "cannot write the household";
    return false;
  }
  return true;
}

}  // namespace

platform::PosixEnvOptions DeviceFolders(const fs::path& base) {
  return {(base / "root").string(), (base / "documents").string(), (base / "program").string()};
}

bool PrepareHousehold(const fs::path& data_folder, int kind, const HouseholdOptions& options,
                      PreparedHousehold* out, std::string* error) {
  const std::string description = Description(kind, options);
  const fs::path device =
      data_folder / ("kind" + std::to_string(kind) + "-" + std::to_string(options.entries) +
                     "-seed" + std::to_string(options.seed));
  const fs::path ready = device / "ready";
  *out = PreparedHousehold();
  out->device = device;
  if (ReadText(ready) == description) return true;

  std::error_code failure;
  fs::remove_all(device, failure);
  fs::create_directories(device, failure);
  if (failure) {
    *error = "cannot make " + device.string() + ": " + failure.message();
    return false;
  }
  const auto start = std::chrono::steady_clock::now();
  if (!Build(device, kind, options, error)) return false;
  out->generated = true;
  out->generate_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Written last: a build cut short leaves no mark and is built again next time.
  std::ofstream(ready, std::ios::binary) << description;
  if (ReadText(ready) != description) {
    *error = "cannot write " + ready.string();
    return false;
  }
  return true;
}

bool CopyDevice(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code failure;
  fs::remove_all(to, failure);
  if (!failure) fs::create_directories(to, failure);
  if (!failure) fs::copy(from, to, fs::copy_options::recursive, failure);
  if (failure)
    *error = "cannot copy " + from.string() + " to " + to.string() + ": " + failure.message();
  return !failure;
}

}  // namespace ledgerix::bench
