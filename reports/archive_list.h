#pragma once
// The archive folder ("data" beside the program) and its list: the archive files in the order
// they were saved (by the date and time of their names), the last restored archive marked; the
// archive file names; deleting an archive.

#include <vector>

#include "engine/db_string.h"
#include "platform/clock.h"
#include "platform/env.h"

namespace ledgerix {

// One line of the archive list.
struct ArchiveItem {
  DbString text;       // the file name, or "..[" + name + "]" for the last restored archive
  DbString file_name;  // the file name with its extension
  int value = 0;       // 1 for the last restored archive, else 0
};

struct ArchiveList {
  std::vector<ArchiveItem> items;  // in the order of ArchiveNameLess
  int selected = -1;               // -1 when the list is empty
};

// The archive folder with its closing "\": "\data\" for the program "\ledgerix.exe".
DbString ArchiveFolder(const platform::Env& env);
// The archive folder followed by a file name.
DbString ArchivePath(const platform::Env& env, const DbString& name);
// Creates the archive folder when it is missing. True when it exists after; a screen may ignore
// a failure (the list then stays empty).
[[nodiscard]] bool PrepareArchiveFolder(platform::Env& env);
// The name of an archive saved now: day "." month "." year " " hour "_" minute, each with two
// digits, and ".txt": "06.12.08 14_05.txt", the same names as the backups the database makes.
DbString ArchiveFileName(const platform::Clock& clock);

// The order of the list: archives in the order they were saved, oldest first. A name that
// starts with a stamp ("dd.mm.yy hh_mm", the years 00 to 69 being 2000 to 2069 and 70 to 99
// being 1970 to 1999) sorts by that date and time; among names of one stamp the plain one comes
// first, then " (2)", " (3)" ... by number, then any other. Names without a stamp (copied in by
// hand) come after all stamped ones, in byte order.
bool ArchiveNameLess(const DbString& a, const DbString& b);

// The "*.txt" files of the archive folder, in the order of ArchiveNameLess. The file named
// `last_archive_name` shows as
// "..[" + name + "]" with the value 1. Selected: the item whose file name equals `target`; for
// an empty target the last restored archive; failing that the first item.
ArchiveList FillArchiveList(platform::Env& env, const DbString& last_archive_name,
                            const DbString& target);
// The file name an item stands for: its text, or the last archive name for the marked item.
DbString ArchiveNameOf(const ArchiveItem& item, const DbString& last_archive_name);

// Deletes the archive `name` of the archive folder, read-only or not. True when it is gone.
// The last archive name is kept even when it named this file.
[[nodiscard]] bool DeleteArchive(platform::Env& env, const DbString& name);
// The question (Yes / No / Cancel) the screen asks before deleting, and what it shows when the
// file could not be deleted; captioned kInfoCaption.
DbString DeleteQuestion(const DbString& name);
DbString ArchiveDeleteFailedMessage();

}  // namespace ledgerix
