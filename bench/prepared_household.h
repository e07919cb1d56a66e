#pragma once
// PreparedHousehold: a household database built once per driver kind, size and seed and kept on
// disk between runs of the benchmarks, since filling it entry by entry takes far longer than
// measuring it. Each run works on a copy, so that what the benchmarks change never reaches the
// kept database.

#include <cstdint>
#include <filesystem>
#include <string>

#include "bench/household.h"
#include "platform/posix_env.h"

namespace ledgerix::bench {

// The host folders of one device: the device root, the documents folder and the program folder.
platform::PosixEnvOptions DeviceFolders(const std::filesystem::path& base);

struct PreparedHousehold {
  std::filesystem::path device;  // the base of DeviceFolders holding the database
  bool generated = false;        // built by this call rather than found
  double generate_seconds = 0;   // the build's time when generated
};

// The device under `data_folder` that holds the household of `options` on driver `kind` (3 or
// 6), with the settings choosing that driver; built through the finance operations when it is
// missing or was left unfinished. False with *error set when it cannot be built.
bool PrepareHousehold(const std::filesystem::path& data_folder, int kind,
                      const HouseholdOptions& options, PreparedHousehold* out, std::string* error);

// Replaces the folder `to` by a copy of the folder `from`. False with *error set on failure.
bool CopyDevice(const std::filesystem::path& from, const std::filesystem::path& to,
                std::string* error);

}  // namespace ledgerix::bench
