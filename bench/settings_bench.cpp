// Times loading and saving settings files of growing size (lines "KEYn=value"): both must grow
// in proportion to the file, so that a settings file grown large (by hand, or by a fault) still
// lets the program start.

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/timing.h"
#include "engine/settings_store.h"
#include "platform/posix_env.h"

namespace {

using namespace ledgerix;

constexpr int kRuns = 3;

std::string SettingsText(size_t bytes) {
  std::string text;
  text.reserve(bytes + 64);
  for (int i = 0; text.size() < bytes; ++i) {
    text += "KEY" + std::to_string(i) + "=value of setting " + std::to_string(i) + "\r\n";
  }
  return text;
}

}  // namespace

int main() {
  const std::filesystem::path base =
      std::filesystem::temp_directory_path() / "ledgerix-settings-bench";
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base / "root" / "settings");
  platform::PosixEnv env({(base / "root").string(), (base / "docs").string(), base.string()});
  const std::string file = (base / "root" / "settings" / "tv_ledgrx.$$$").string();
  std::printf("settings file size      load (median)    save (median)\n");
  for (size_t megabytes : {1, 10, 40}) {
    const std::string text = SettingsText(megabytes << 20);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    SettingsStore store(env);
    bool ok = true;
    const double load =
        bench::MedianMilliseconds([&] { ok = store.Bind("tv_ledgrx") != 0 && ok; }, kRuns);
    const double save = bench::MedianMilliseconds([&] { ok = store.Save() != 0 && ok; }, kRuns);
    std::printf("%8zu MB %16.1f ms %13.1f ms%s\n", megabytes, load, save, ok ? "" : " (failed)");
  }
  std::filesystem::remove_all(base);
  return 0;
}
