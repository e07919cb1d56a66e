#pragma once
// Saving the whole finance database as a dated archive in the exchange text format, and
// restoring one over the current data (remembering it as the last restored archive).

#include "engine/db_string.h"
#include "engine/settings_store.h"
#include "finance/finance_db.h"
#include "platform/clock.h"
#include "platform/env.h"
#include "reports/archive_list.h"

namespace ledgerix {

// The process-wide things saving and restoring read and change; none of them is owned.
struct ArchiveContext {
  platform::Env& env;
  const platform::Clock& clock;
  // The program's settings store; a restore writes LAST_ARCHIVE into it and saves it.
  SettingsStore& settings;
  // The process-wide last archive name, read from LAST_ARCHIVE at start-up.
  DbString& last_archive_name;
  // The finance database; may be null or closed, and then nothing is saved or restored.
  FinanceDb* finance;
};

enum class ArchiveSaveResult {
  kSaved,       // nothing shown; the list is refilled with the new archive selected
  kNoDatabase,  // nothing written, nothing shown
  kFailed,      // an older archive of that name is left whole; reported
};

enum class ArchiveRestoreResult {
  kRestored,  // the tables in the file were replaced: "Обработка завершена!"
  // The tables were replaced, but the settings file could not be written: the name of the
  // archive is kept in memory and written back at the program's end; reported.
  kRestoredSettingsUnsaved,
  // The file or the database could not be read (nothing changed), or a row of the file could
  // not be stored (its table may be incomplete); reported.
  kFailed,
};

// Writes the whole database to the archive folder (made when missing) under the stamp of now,
// through a temporary file renamed into place. *saved_name (may be null) receives the file name
// on kSaved. The last archive name does not change.
[[nodiscard]] ArchiveSaveResult SaveArchive(ArchiveContext& context, DbString* saved_name);

// Writes the whole database to the archive folder as SaveArchive does, but never over a file:
// under the stamp of now, or when that name is taken (the archive about to be restored may carry
// it), the next free one, "<stamp> (2).txt" and so on. What a restore keeps of the data it
// replaces. kSaved only when the archive was written whole.
[[nodiscard]] ArchiveSaveResult SaveArchiveCopy(ArchiveContext& context, DbString* saved_name);

// Loads the archive `name` of the archive folder: every table with a section in the file is
// replaced; the others keep their rows. On success the last archive name and LAST_ARCHIVE both
// become `name` and the settings are saved at once (kRestoredSettingsUnsaved when that save
// fails); since the program's own store holds the new name, its write-back at the program's end
// keeps it.
[[nodiscard]] ArchiveRestoreResult RestoreArchive(ArchiveContext& context, const DbString& name);

// The question (Yes / No) the screen asks before it restores, and the notices it shows after
// saving (empty when none) and restoring; captioned kInfoCaption.
DbString RestoreQuestion(const DbString& name);
DbString ArchiveSaveMessage(ArchiveSaveResult result);
DbString ArchiveRestoreMessage(ArchiveRestoreResult result);
// What the screen shows when the data could not be kept before a restore, which then is not
// made.
DbString RestoreNotStartedMessage();

}  // namespace ledgerix
