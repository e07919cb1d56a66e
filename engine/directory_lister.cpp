#include "engine/directory_lister.h"

#include "engine/program_path.h"

namespace ledgerix {
namespace {

DbString NameOf(const platform::FindData& data) {
  DbString name;
  name.AppendWide(data.name.c_str());
  return name;
}

}  // namespace

DirectoryLister::DirectoryLister(platform::Env& env) : env_(env) {}

DirectoryLister::~DirectoryLister() { Close(); }

int DirectoryLister::First(const DbString& pattern) {
  Close();
  if (pattern.Length() <= 2) return 0;
  DbString full;
  if (pattern.CharAt(1) != ':') {
    DbString file;
    ProgramDirectory(env_, &full, &file);
    full.Append("\\");
  }
  full.AppendString(pattern);
  platform::FindData first;
  search_ = env_.FindFirst(full.Wide(), &first);
  if (search_ == platform::kInvalidFindHandle) {
    Close();
    return 0;
  }
  std::string_view text = full.View();
  size_t slash = text.rfind('\\');
  directory_ =
      DbString(slash == std::string_view::npos ? std::string_view() : text.substr(0, slash));
  name_ = NameOf(first);
  return 1;
}

int DirectoryLister::Next() {
  if (search_ == platform::kInvalidFindHandle) return 0;
  platform::FindData next;
  if (!env_.FindNext(search_, &next)) return 0;
  name_ = NameOf(next);
  return 1;
}

void DirectoryLister::Close() {
  if (search_ != platform::kInvalidFindHandle) env_.FindClose(search_);
  search_ = platform::kInvalidFindHandle;
  name_ = DbString();
  directory_ = DbString();
}

}  // namespace ledgerix
