#include "engine/settings_store.h"

#include <string_view>

#include "engine/atomic_file.h"
#include "engine/db_file.h"
#include "engine/parse.h"
#include "engine/program_path.h"

namespace ledgerix {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Splits the file into raw lines. A line ends at a CR LF once at least one byte precedes it;
// a CR LF that directly follows a line end stays at the start of the next line's text.
std::vector<std::string_view> RawLines(std::string_view content) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t end = 1; end <= content.size(); ++end) {
    std::string_view buffer = content.substr(start, end - start);
    if (buffer.size() >= 3 && buffer.ends_with(kLineEnd)) {
      lines.push_back(buffer.substr(0, buffer.size() - 2));
      start = end;
    }
  }
  if (start < content.size()) lines.push_back(content.substr(start));
  return lines;
}

DbValue TextValue(std::string_view text) { return DbValue(DbString(text)); }

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

int SettingsStore::Bind(const char* name) {
  DbString path;
  DbString program_file;
  ProgramDirectory(env_, &path, &program_file);
  path.Append("\\settings");
  env_.CreateDirectory(path.Wide());
  path.Append("\\");
  path.Append(name);
  path.Append(".$$$");
  return Load(path);
}

int SettingsStore::Load(const DbString& path) {
  path_ = DbString();
  entries_.clear();
  DbFile file(env_);
  if (!file.Open(path, kAccessReadWrite, platform::kDispositionOpenAlways, kShareExclusive)) {
    return 0;
  }
  DbString content;
  DbString chunk;
  while (file.Read(chunk, 4096) > 0) content.AppendString(chunk);
  if (file.LastError() != DbFileError::kNone) return 0;
  file.Close();
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
      entries_.push_back({DbString(line.substr(0, equals)), TextValue(line.substr(equals + 1))});
    }
  }
}

DbString SettingsStore::Serialize() const {
  DbString content;
  for (const SettingsEntry& entry : entries_) {
    if (entry.name.Length() == 0) continue;
    content.AppendString(entry.name);
    if (!entry.name.Equals(DbString(";"))) content.Append("=");
    content.AppendString(entry.value.ToText());
    content.Append("\r\n");
  }
  return content;
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
