#include "platform/device_path.h"

#include <utility>

#include "platform/utf8.h"

namespace ledgerix::platform {
namespace {

constexpr char16_t kSeparator = u'\\';

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

bool IsAcceptableName(std::u16string_view name) {
  if (name == u"..") return false;
  for (char16_t c : name) {
    if (c == u'/' || c == u'\0') return false;
  }
  return true;
}

}  // namespace

bool SplitDevicePath(std::u16string_view path, std::vector<std::u16string>* names) {
  names->clear();
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(kSeparator, start);
    if (end == std::u16string_view::npos) end = path.size();
    const std::u16string_view name = path.substr(start, end - start);
    if (!name.empty() && name != u".") {
      if (!IsAcceptableName(name)) return false;
      names->emplace_back(name);
    }
    start = end + 1;
  }
  return true;
}

bool HasWildcards(std::u16string_view text) {
  return text.find_first_of(u"*?") != std::u16string_view::npos;
}

bool IsDocumentsFolderName(std::u16string_view name) {
  constexpr std::u16string_view kDocuments = u"my documents";
  if (name.size() != kDocuments.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (AsciiLower(name[i]) != kDocuments[i]) return false;
  }
  return true;
}

DevicePathMap::DevicePathMap(DeviceFolders folders)
    : folders_{WithoutTrailingSlash(std::move(folders.root)),
               WithoutTrailingSlash(std::move(folders.documents))} {}

bool DevicePathMap::ToHost(std::u16string_view device_path, std::string* host_path) const {
  std::vector<std::u16string> names;
  return SplitDevicePath(device_path, &names) && ToHost(names, host_path);
}

bool DevicePathMap::ToHost(const std::vector<std::u16string>& names, std::string* host_path) const {
  size_t first = 0;
  std::string result = folders_.root;
  if (!names.empty() && IsDocumentsFolderName(names.front())) {
    result = folders_.documents;
    first = 1;
  }
  std::string utf8;
  for (size_t i = first; i < names.size(); ++i) {
    const std::u16string& name = names[i];
    if (name.empty() || name == u"." || !IsAcceptableName(name) || !Utf16ToUtf8(name, &utf8)) {
      return false;
    }
    result += '/';
    result += utf8;
  }
  *host_path = std::move(result);
  return true;
}

}  // namespace ledgerix::platform
