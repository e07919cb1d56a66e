#pragma once
// What every household benchmark is told on its command line, and the copy of the prepared
// household each run measures.
//
//   --kind 3|6 [--entries N] [--seed S] [--runs R] [--data FOLDER] [--only WORDS]

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ledgerix::bench {

struct BenchConfig {
  int kind = 3;  // driver kind: 3 object store, 6 file database
  int entries = 50000;
  uint64_t seed = 1;
  int runs = 11;
  std::filesystem::path data = "bench-data";
  std::string only;  // when set, only the measurements whose name holds it run
};

// Reads the options into *config; "--only" only when `with_only`. False (with the usage printed
// on stderr) for an unknown option, a missing value, a kind other than 3 or 6, or entries or
// runs below 1.
bool ParseBenchConfig(int argc, char** argv, bool with_only, BenchConfig* config);

// Prepares the household of `config` (building it when missing, which is told on stderr) and
// copies it to the folder `name`-kind<K>-<entries> under the data folder, into *work. False with
// the reason on stderr.
bool PrepareWorkCopy(const BenchConfig& config, std::string_view name, std::filesystem::path* work);

}  // namespace ledgerix::bench
