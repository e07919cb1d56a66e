#include "engine/settings_store.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "engine/atomic_file.h"
#include "engine/db_file.h"
#include "engine/parse.h"
#include "engine/program_path.h"

namespace ledgerix {
namespace {

constexpr uint32_t kReadChunk = 64 * 1024;

// Splits the file into raw lines. A line ends at LF, or at CR LF, once at least one byte
// precedes its line end; a line end that directly follows another (an empty line) stays at the
// start of the next line's text.
std::vector<std::string_view> RawLines(std::string_view content) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t lf = content.find('\n'); lf != std::string_view::npos;
       lf = content.find('\n', lf + 1)) {
    size_t end = lf;
    if (end > start && content[end - 1] == '\r') --end;
    if (end == start) continue;
    lines.push_back(content.substr(start, end - start));
    start = lf + 1;
  }
  if (start < content.size()) lines.push_back(content.substr(start));
  return lines;
}

// A decimal number as ParseInt reads it ("12ab" is 12, "x" is 0), or nothing when its digits
// go beyond 32 bits.
std::optional<int32_t> ParseInt32(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                 : int64_t{std::numeric_limits<int32_t>::max()};
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

// A text of exactly its own size: a settings file of many lines would otherwise hold a block of
// the default growth step per name and value.
DbString ExactText(std::string_view text) {
  DbString exact(static_cast<uint32_t>(text.size() + 1));
  exact.AppendBytes(text.data(), static_cast<uint32_t>(text.size()));
  return exact;
}

DbValue TextValue(std::string_view text) { return DbValue(ExactText(text)); }

DbValue Converted(const DbValue& stored, DbValueType type) {
  DbString text = stored.ToText();
  DbValue result(type);
  switch (type) {
    case DbValueType::Bool8:
      result.SetBool8(static_cast<uint8_t>(ParseInt(text.CStr())));
      break;
    case DbValueType::Int16:
      result.SetInt16(static_cast<int16_t>(ParseInt(text.CStr())));
      break;
    case DbValueType::Int32:
      result.SetInt32(ParseInt(text.CStr()));
      break;
    case DbValueType::Bool32:
      result.SetBool32(static_cast<uint32_t>(ParseInt(text.CStr())));
      break;
    case DbValueType::Float32:
      result.SetFloat32(static_cast<float>(ParseDecimal(text.CStr())));
      break;
    case DbValueType::Float64:
      result.SetFloat64(ParseDecimal(text.CStr()));
      break;
    case DbValueType::Float64B:
      result.SetFloat64B(ParseDecimal(text.CStr()));
      break;
    default:
      return stored;
  }
  return result;
}

}  // namespace

SettingsStore::SettingsStore(platform::Env& env) : env_(env) {}

SettingsStore::~SettingsStore() = default;

DbString SettingsStore::FolderPath() const {
  DbString path;
  DbString program_file;
  ProgramDirectory(env_, &path, &program_file);
  path.Append("\\settings");
  return path;
}

DbString SettingsStore::PathFor(const char* name) const {
  DbString path = FolderPath();
  path.Append("\\");
  path.Append(name);
  path.Append(".$$$");
  return path;
}

int SettingsStore::Bind(const char* name) {
  // A folder that exists makes this fail; one that cannot be made fails the load, which tells.
  static_cast<void>(env_.CreateDirectory(FolderPath().Wide()));
  return Load(PathFor(name));
}

int SettingsStore::Load(const DbString& path) {
  path_ = DbString();
  entries_.clear();
  load_failure_ = platform::FailureDetail();
  DbFile file(env_);
  if (!file.Open(path, kAccessReadWrite, platform::kDispositionOpenAlways, kShareExclusive)) {
    return FailLoad();
  }
  // Room for the whole file at once: growing the text chunk by chunk would copy it over and
  // over, which for a large file takes minutes.
  const int64_t size = file.Size();
  // A text holds at most 4 GiB; a larger file cannot be a settings file.
  if (size < 0 || size >= UINT32_MAX) return FailLoad();
  DbString content;
  content.Reserve(static_cast<uint32_t>(size) + 1);
  DbString chunk;
  while (file.Read(chunk, kReadChunk) > 0) content.AppendString(chunk);
  if (file.LastError() != DbFileError::kNone) return FailLoad();
  // Only read: everything is in memory already.
  static_cast<void>(file.Close());
  ParseContent(content);
  path_ = path;
  return static_cast<int>(path_.Length());
}

void SettingsStore::ParseContent(const DbString& content) {
  for (std::string_view line : RawLines(content.View())) {
    size_t equals = line.find('=');
    size_t semicolon = line.find(';');
    if (semicolon != std::string_view::npos &&
        (equals == std::string_view::npos || semicolon < equals)) {
      entries_.push_back({DbString(";"), TextValue(line.substr(semicolon + 1))});
    } else if (equals != std::string_view::npos && equals > 0) {
      entries_.push_back({ExactText(line.substr(0, equals)), TextValue(line.substr(equals + 1))});
    }
  }
}

int SettingsStore::FailLoad() {
  load_failure_ = env_.LastFailure();
  entries_.clear();
  return 0;
}

DbString SettingsStore::Serialize() const {
  // Built in a standard string, which grows in proportion to its size, not in small steps.
  std::string content;
  for (const SettingsEntry& entry : entries_) {
    if (entry.name.Length() == 0) continue;
    content += entry.name.View();
    if (entry.name.View() != ";") content += '=';
    content += entry.value.ToText().View();
    content += "\r\n";
  }
  return DbString(std::string_view(content));
}

int SettingsStore::Save() {
  if (!IsBound()) return 0;
  return ReplaceFileContent(env_, path_, Serialize());
}

SettingsStore::SettingsEntry* SettingsStore::Find(const char* name) {
  std::string_view wanted(name);
  for (SettingsEntry& entry : entries_) {
    if (entry.name.View() == wanted) return &entry;
  }
  return nullptr;
}

const SettingsStore::SettingsEntry* SettingsStore::Find(const char* name) const {
  return const_cast<SettingsStore*>(this)->Find(name);
}

int SettingsStore::DeclareDefault(const char* name, const DbValue& value) {
  if (name == nullptr || !IsBound()) return 0;
  if (Find(name) == nullptr) entries_.push_back({DbString(name), DbValue(value.ToText())});
  return 1;
}

DbValue SettingsStore::ReadSetting(const char* name, DbValueType type) const {
  if (name == nullptr || !IsBound()) return DbValue(int32_t{0});
  const SettingsEntry* entry = Find(name);
  if (entry == nullptr) return DbValue();
  return Converted(entry->value, type);
}

int32_t SettingsStore::ReadInt32(const char* name, int32_t fallback) const {
  if (name == nullptr || !IsBound()) return fallback;
  const SettingsEntry* entry = Find(name);
  if (entry == nullptr) return fallback;
  return ParseInt32(entry->value.ToText().View()).value_or(fallback);
}

int SettingsStore::WriteSetting(const char* name, const DbValue& value) {
  if (name == nullptr || !IsBound()) return 0;
  if (SettingsEntry* entry = Find(name)) {
    entry->value.Reset();
    entry->value.SetType(value.Type());
    entry->value.CopyFrom(value);
  } else {
    entries_.push_back({DbString(name), value});
  }
  return 1;
}

}  // namespace ledgerix
