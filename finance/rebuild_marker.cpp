#include "finance/rebuild_marker.h"

#include <string>
#include <string_view>

#include "engine/atomic_file.h"
#include "engine/db_file.h"
#include "engine/program_path.h"
#include "finance/file_contents.h"

namespace ledgerix {
namespace {

constexpr std::string_view kOlderLayout = "convert";
constexpr std::string_view kRecoveredRows = "load";

bool IsMissing(uint32_t error) {
  return error == platform::winerr::kFileNotFound || error == platform::winerr::kPathNotFound;
}

}  // namespace

DbString RebuildMarkerPath(platform::Env& env, const DbString& name, DriverKind kind) {
  DbString relative("data\\");
  relative.AppendString(name);
  relative.AppendString(
      DbString(std::string_view(" rebuild " + std::to_string(static_cast<int>(kind)) + ".$$$")));
  return ProgramPath(env, relative);
}

int WriteRebuildMarker(platform::Env& env, const DbString& name, DriverKind kind,
                       const RebuildMarker& marker) {
  std::string content(marker.source == RebuildSource::kOlderLayout ? kOlderLayout : kRecoveredRows);
  content += "\r\n";
  content += marker.text_path.View();
  content += "\r\n";
  // Written to a temporary file, synced and renamed: the mark is whole or absent.
  return ReplaceFileContent(env, RebuildMarkerPath(env, name, kind),
                            DbString(std::string_view(content)));
}

MarkerState ReadRebuildMarker(platform::Env& env, const DbString& name, DriverKind kind,
                              RebuildMarker* out, platform::FailureDetail* failure) {
  const DbString marker_path = RebuildMarkerPath(env, name, kind);
  DbString content;
  if (!ReadWholeFile(env, marker_path, &content)) {
    if (IsMissing(env.LastError())) return MarkerState::kNone;
    *failure = env.LastFailure();
    return MarkerState::kUnreadable;
  }
  auto malformed = [&] {
    *failure = platform::FailureDetail();
    failure->call = "ReadRebuildMarker " + ToUtf8(marker_path);
    failure->error = platform::winerr::kInvalidData;
    return MarkerState::kUnreadable;
  };
  std::string_view text = content.View();
  const size_t first_end = text.find("\r\n");
  if (first_end == std::string_view::npos) return malformed();
  const std::string_view source = text.substr(0, first_end);
  std::string_view path = text.substr(first_end + 2);
  if (!path.ends_with("\r\n")) return malformed();
  path.remove_suffix(2);
  if (path.empty() || (source != kOlderLayout && source != kRecoveredRows)) return malformed();
  out->source =
      source == kOlderLayout ? RebuildSource::kOlderLayout : RebuildSource::kRecoveredRows;
  out->text_path = DbString(path);
  return MarkerState::kFound;
}

int RemoveRebuildMarker(platform::Env& env, const DbString& name, DriverKind kind) {
  const DbString path = RebuildMarkerPath(env, name, kind);
  if (DeleteDbFile(env, path)) return 1;
  return IsMissing(env.LastError()) ? 1 : 0;
}

}  // namespace ledgerix
