#include "bench/bench_config.h"

#include <cstdio>
#include <cstdlib>

#include "bench/prepared_household.h"

namespace ledgerix::bench {

bool ParseBenchConfig(int argc, char** argv, bool with_only, BenchConfig* config) {
  bool known = argc % 2 == 1;
  for (int i = 1; known && i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--kind") {
      config->kind = std::atoi(value);
    } else if (name == "--entries") {
      config->entries = std::atoi(value);
    } else if (name == "--seed") {
      config->seed = std::strtoull(value, nullptr, 10);
    } else if (name == "--runs") {
      config->runs = std::atoi(value);
    } else if (name == "--data") {
      config->data = value;
    } else if (name == "--only" && with_only) {
      config->only = value;
    } else {
      known = false;
    }
  }
  if (known && (config->kind == 3 || config->kind == 6) && config->entries > 0 &&
      config->runs > 0) {
    return true;
  }
  std::fprintf(stderr,
               "usage: %s --kind 3|6 [--entries N] [--seed S] [--runs R] [--data FOLDER]%s\n",
               argc > 0 ? argv[0] : "bench", with_only ? " [--only WORDS]" : "");
  return false;
}

bool PrepareWorkCopy(const BenchConfig& config, std::string_view name,
                     std::filesystem::path* work) {
  std::string error;
  PreparedHousehold prepared;
  if (!PrepareHousehold(config.data, config.kind, {config.entries, config.seed}, &prepared,
                        &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  if (prepared.generated) {
    std::fprintf(stderr, "kind %d  entries %6d  household built in %.1f s\n", config.kind,
                 config.entries, prepared.generate_seconds);
  }
  *work = config.data / (std::string(name) + "-kind" + std::to_string(config.kind) + "-" +
                         std::to_string(config.entries));
  if (!CopyDevice(prepared.device, *work, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  return true;
}

}  // namespace ledgerix::bench
