// Loading a settings file (the input) as start-up does: bound, the start-up settings declared
// and read, then saved. What must hold for every file that can be read:
// - loading, declaring and reading change only memory: the file stays as it was until Save,
//   and destroying the store does not write it;
// - what Save wrote loads back as the same settings (every name reads the same as every type)
//   and saves as the same text.
// A hang is caught by libFuzzer's -timeout.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/app_state.h"
#include "app/startup.h"
#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/fuzz_device.h"

namespace ledgerix::fuzz {
namespace {

constexpr char16_t kSettingsPath[] = u"\\settings\\tv_ledgrx.$$$";

// The names of the entries of a file as Save writes it: one entry a line, "name=value", and
// comments, which start with ";".
std::vector<std::string> SavedNames(std::string_view text) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    const size_t equals = line.find('=');
    if (!line.starts_with(';') && equals != std::string_view::npos) {
      names.emplace_back(line.substr(0, equals));
    }
    start = end + 2;
  }
  return names;
}

std::string Reading(const SettingsStore& settings, const char* name) {
  std::string text;
  for (DbValueType type : {DbValueType::Text, DbValueType::Int32, DbValueType::Bool8,
                           DbValueType::Int16, DbValueType::Float64}) {
    text += std::string(settings.ReadSetting(name, type).ToText().View()) + "|";
  }
  return text + std::to_string(settings.ReadInt32(name, -7));
}

// Binds a store of the state as start-up does and declares and reads the start-up settings.
void StartUp(AppState& state) {
  FUZZ_CHECK(
      state.settings.Bind("tv_ledgrx"),
      "a settings file that can be read does not load: " + state.settings.LoadFailure().call +
          " error " + std::to_string(state.settings.LoadFailure().error));
  DeclareStartupSettings(state.settings);
  ReadStartupSettings(state);
}

void RunSettingsLoad(std::string_view input) {
  FuzzDevice& device = FuzzDevice::Get();
  platform::PosixEnv& env = device.Fresh();
  FUZZ_CHECK(device.WriteHostFile(kSettingsPath, input), "cannot write the input");

  AppState first(env);
  StartUp(first);
  FUZZ_CHECK(device.ReadHostFile(kSettingsPath) == input,
             "loading and reading the settings changed the file");
  FUZZ_CHECK(first.settings.Save(), "the settings cannot be saved");
  const std::string saved = device.ReadHostFile(kSettingsPath);
  {
    AppState unsaved(env);
    StartUp(unsaved);
  }
  FUZZ_CHECK(device.ReadHostFile(kSettingsPath) == saved, "a store that was not saved wrote");

  AppState second(env);
  StartUp(second);
  for (const std::string& name : SavedNames(saved)) {
    // A name holding a 0 byte cannot be asked for.
    if (name.find('\0') != std::string::npos) continue;
    FUZZ_CHECK(Reading(first.settings, name.c_str()) == Reading(second.settings, name.c_str()),
               "the setting " + name + " reads otherwise once saved and loaded");
  }
  FUZZ_CHECK(second.settings.Save(), "the loaded settings cannot be saved");
  FUZZ_CHECK(device.ReadHostFile(kSettingsPath) == saved,
             "saving what was loaded from a saved file gave another text");
}

}  // namespace
}  // namespace ledgerix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerix::fuzz::RunSettingsLoad(std::string_view(reinterpret_cast<const char*>(data), size));
  // What the input opened is closed, so that it frees all it allocated.
  ledgerix::fuzz::FuzzDevice::Get().CloseEnv();
  return 0;
}
