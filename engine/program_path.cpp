#include "engine/program_path.h"

#include <string>

namespace ledgerix {
namespace {

// The program file's path in 8-bit text, and where its last "\" is (npos when none).
struct SplitPath {
  std::string path;
  size_t last_separator;
};

SplitPath ProgramFilePath(const platform::Env& env) {
  const DbString path(std::u16string_view(env.ProgramFilePath()));
  std::string text(path.View());
  const size_t last = text.rfind('\\');
  return {std::move(text), last};
}

}  // namespace

DbString ProgramPath(const platform::Env& env, const DbString& name) {
  const SplitPath split = ProgramFilePath(env);
  const size_t prefix = split.last_separator == std::string::npos ? 0 : split.last_separator + 1;
  DbString path(std::string_view(split.path).substr(0, prefix));
  path.AppendString(name);
  return path;
}

void ProgramDirectory(const platform::Env& env, DbString* dir, DbString* file) {
  const SplitPath split = ProgramFilePath(env);
  const std::string_view path(split.path);
  const bool found = split.last_separator != std::string::npos;
  if (dir != nullptr) {
    *dir = found ? DbString(path.substr(0, split.last_separator)) : DbString();
  }
  if (file != nullptr) {
    *file = found ? DbString(path.substr(split.last_separator + 1)) : DbString();
  }
}

}  // namespace ledgerix
