#include "reports/archive_list.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <tuple>

#include "engine/db_file.h"
#include "engine/directory_lister.h"
#include "engine/program_path.h"
#include "finance/backup_names.h"

namespace ledgerix {
namespace {

ArchiveItem MakeItem(const DbString& file_name, const DbString& last_archive_name) {
  ArchiveItem item;
  item.file_name = file_name;
  if (file_name.Equals(last_archive_name)) {
    item.text = DbString("..[");
    item.text.AppendString(file_name);
    item.text.Append("]");
    item.value = 1;
  } else {
    item.text = file_name;
  }
  return item;
}

// What orders a name: whether it carries a stamp, the stamp's minute, the copy number (1 for
// the plain name, n for " (n)", past every number for any other rest), then the bytes.
struct NameOrder {
  bool unstamped = true;
  int64_t minute = 0;
  int64_t copy = 0;
  auto Key() const { return std::tie(unstamped, minute, copy); }
};

// The value of the two digits at text[at], or -1.
int TwoDigits(std::string_view text, size_t at) {
  if (at + 2 > text.size()) return -1;
  const char a = text[at];
  const char b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}

// The copy number of what follows the stamp: "" is 1, " (n)" is n; anything else is past all.
int64_t CopyNumber(std::string_view rest) {
  constexpr int64_t kAfterEveryCopy = INT64_MAX;
  const size_t dot = rest.rfind('.');
  if (dot != std::string_view::npos) rest = rest.substr(0, dot);  // the extension
  if (rest.empty()) return 1;
  if (rest.size() < 4 || rest.substr(0, 2) != " (" || rest.back() != ')') return kAfterEveryCopy;
  int64_t number = 0;
  for (char c : rest.substr(2, rest.size() - 3)) {
    if (c < '0' || c > '9' || number > 1000000) return kAfterEveryCopy;
    number = number * 10 + (c - '0');
  }
  return number;
}

NameOrder OrderOf(std::string_view name) {
  NameOrder order;
  // "dd.mm.yy hh_mm"
  constexpr size_t kStampLength = 14;
  if (name.size() < kStampLength || name[2] != '.' || name[5] != '.' || name[8] != ' ' ||
      name[11] != '_') {
    return order;
  }
  const int day = TwoDigits(name, 0);
  const int month = TwoDigits(name, 3);
  const int year = TwoDigits(name, 6);
  const int hour = TwoDigits(name, 9);
  const int minute = TwoDigits(name, 12);
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 0 || hour < 0 || hour > 23 ||
      minute < 0 || minute > 59) {
    return order;
  }
  const int64_t full_year = year < 70 ? 2000 + year : 1900 + year;
  order.unstamped = false;
  order.minute = ((((full_year * 12 + month) * 31 + day) * 24 + hour) * 60) + minute;
  order.copy = CopyNumber(name.substr(kStampLength));
  return order;
}

int SelectedIndex(const ArchiveList& list, const DbString& target) {
  if (list.items.empty()) return -1;
  for (size_t i = 0; i < list.items.size(); ++i) {
    const ArchiveItem& item = list.items[i];
    const bool match = target.Length() > 0 ? item.file_name.Equals(target) : item.value == 1;
    if (match) return static_cast<int>(i);
  }
  return 0;
}

}  // namespace

DbString ArchiveFolder(const platform::Env& env) { return ProgramPath(env, DbString("data\\")); }

DbString ArchivePath(const platform::Env& env, const DbString& name) {
  DbString path = ArchiveFolder(env);
  path.AppendString(name);
  return path;
}

bool ArchiveNameLess(const DbString& a, const DbString& b) {
  const NameOrder order_a = OrderOf(a.View());
  const NameOrder order_b = OrderOf(b.View());
  if (order_a.Key() != order_b.Key()) return order_a.Key() < order_b.Key();
  return a.View() < b.View();
}

bool PrepareArchiveFolder(platform::Env& env) { return EnsureDataFolder(env); }

DbString ArchiveFileName(const platform::Clock& clock) {
  DbString name = BackupStamp(clock);
  name.Append(".txt");
  return name;
}

ArchiveList FillArchiveList(platform::Env& env, const DbString& last_archive_name,
                            const DbString& target) {
  ArchiveList list;
  DirectoryLister lister(env);
  for (int found = lister.First(DbString("data\\*.txt")); found; found = lister.Next()) {
    list.items.push_back(MakeItem(lister.Name(), last_archive_name));
  }
  // The file system lists the files in an order of its own: the list shows them as saved.
  std::stable_sort(list.items.begin(), list.items.end(),
                   [](const ArchiveItem& a, const ArchiveItem& b) {
                     return ArchiveNameLess(a.file_name, b.file_name);
                   });
  list.selected = SelectedIndex(list, target);
  return list;
}

DbString ArchiveNameOf(const ArchiveItem& item, const DbString& last_archive_name) {
  return item.value == 1 ? last_archive_name : item.text;
}

bool DeleteArchive(platform::Env& env, const DbString& name) {
  return name.Length() > 0 && DeleteDbFile(env, ArchivePath(env, name)) != 0;
}

DbString DeleteQuestion(const DbString& name) {
  DbString text = FromUtf8("Вы действительно хотите удалить архив: ");
  text.AppendString(name);
  text.Append("?");
  return text;
}

DbString ArchiveDeleteFailedMessage() { return FromUtf8("Не удалось удалить архив!"); }

}  // namespace ledgerix
