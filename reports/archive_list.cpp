#include "reports/archive_list.h"

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
