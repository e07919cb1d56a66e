#include "reports/archives.h"

#include "engine/db_value.h"
#include "finance/backup_names.h"

namespace ledgerix {
namespace {

constexpr char kLastArchiveKey[] = "LAST_ARCHIVE";

// Writes the whole database as the archive the name function gives.
template <class NameOf>
ArchiveSaveResult SaveUnder(ArchiveContext& context, DbString* saved_name, NameOf name_of) {
  if (context.finance == nullptr || !context.finance->IsOpen()) {
    return ArchiveSaveResult::kNoDatabase;
  }
  // A folder that cannot be made fails the write below, which tells.
  static_cast<void>(PrepareArchiveFolder(context.env));
  const DbString name = name_of();
  if (!context.finance->WriteExchangeFile(ArchivePath(context.env, name))) {
    return ArchiveSaveResult::kFailed;
  }
  if (saved_name != nullptr) *saved_name = name;
  return ArchiveSaveResult::kSaved;
}

}  // namespace

ArchiveSaveResult SaveArchive(ArchiveContext& context, DbString* saved_name) {
  return SaveUnder(context, saved_name, [&] { return ArchiveFileName(context.clock); });
}

ArchiveSaveResult SaveArchiveCopy(ArchiveContext& context, DbString* saved_name) {
  return SaveUnder(context, saved_name, [&] { return FreeBackupName(context.env, context.clock); });
}

ArchiveRestoreResult RestoreArchive(ArchiveContext& context, const DbString& name) {
  if (context.finance == nullptr || name.Length() == 0 ||
      !context.finance->RestoreExchangeFile(ArchivePath(context.env, name))) {
    return ArchiveRestoreResult::kFailed;
  }
  // The program's own store takes the name too: it is written back whole at the program's end,
  // and would otherwise put the name read at start-up back into the file.
  context.last_archive_name = name;
  context.settings.WriteSetting(kLastArchiveKey, DbValue(name));
  if (!context.settings.Save()) {
    return ArchiveRestoreResult::kRestoredSettingsUnsaved;
  }
  return ArchiveRestoreResult::kRestored;
}

DbString RestoreQuestion(const DbString& name) {
  DbString text = FromUtf8("Восстановить архив: ");
  text.AppendString(name);
  text.AppendString(FromUtf8("? Текущие данные будут заменены данными архива."));
  return text;
}

DbString ArchiveSaveMessage(ArchiveSaveResult result) {
  return result == ArchiveSaveResult::kFailed ? FromUtf8("Не удалось сохранить архив!")
                                              : DbString();
}

DbString ArchiveRestoreMessage(ArchiveRestoreResult result) {
  switch (result) {
    case ArchiveRestoreResult::kRestored:
      return FromUtf8("Обработка завершена!");
    case ArchiveRestoreResult::kRestoredSettingsUnsaved:
      return FromUtf8("Обработка завершена, но не удалось сохранить настройки!");
    case ArchiveRestoreResult::kFailed:
      break;
  }
  return FromUtf8("Ошибка восстановления архива!");
}

DbString RestoreNotStartedMessage() {
  return FromUtf8(
      "Не удалось сохранить текущие данные в архив: архив не восстановлен, данные не изменены!");
}

}  // namespace ledgerix
