#include "finance/file_database_storage.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "access/db_connection.h"
#include "engine/atomic_file.h"
#include "engine/catalog_file.h"
#include "engine/database_folder.h"
#include "engine/db_file.h"
#include "engine/directory_lister.h"
#include "engine/table_file.h"
#include "engine/table_journal.h"
#include "engine/table_write_generations.h"
#include "finance/file_contents.h"

namespace ledgerix {
namespace {

// Slots read at once while a table file is walked.
constexpr uint32_t kSlotsPerRead = 512;

bool IsMissing(uint32_t error) {
  return error == platform::winerr::kFileNotFound || error == platform::winerr::kPathNotFound;
}

bool IsWriteRefused(uint32_t error) {
  return error == platform::winerr::kAccessDenied || error == platform::winerr::kWriteProtect;
}

// After a search found nothing: true when that is because there is nothing, false when the
// search itself failed.
bool NothingFound(const platform::Env& env) {
  return IsMissing(env.LastError()) || env.LastError() == platform::winerr::kNoMoreFiles;
}

DbString InFolder(const DbString& folder, const DbString& name) {
  DbString path(folder);
  path.Append("\\");
  path.AppendString(name);
  return path;
}

bool CopyFile(platform::Env& env, const DbString& from, const DbString& to) {
  DbString content;
  return ReadWholeFile(env, from, &content) && ReplaceFileContent(env, to, content);
}

// Decodes one slot into a row by the table's columns (the row holds a value per column, which
// is decoded over, so that a walk does not allocate per row); false when a column does not
// decode within the slot.
bool DecodeSlot(std::string_view slot, const DbTableSchema& table, std::vector<DbValue>* row) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const uint32_t used = (*row)[i].Decode(slot, table.columns[i]->Type());
    if (used == 0) return false;
    slot.remove_prefix(used);
  }
  return true;
}

// True when every column decodes within the slot, as DecodeSlot would decode it, without
// building the values: a whole number needs its width, a text its terminator.
bool SlotDecodes(std::string_view slot, const DbTableSchema& table) {
  for (const std::unique_ptr<DbColumnDef>& column : table.columns) {
    size_t used = FixedWidthOf(column->Type());
    if (column->Type() == DbValueType::Text) {
      const size_t end = slot.find('\0');
      if (end == std::string_view::npos) return false;
      used = end + 1;
    }
    if (used == 0 || used > slot.size()) return false;
    slot.remove_prefix(used);
  }
  return true;
}

// The pattern of every table file in the database folder.
DbString TableFilePattern() {
  DbString pattern(kDatabaseFolderName);
  pattern.Append("\\*");
  pattern.Append(kTableFileExtension);
  return pattern;
}

}  // namespace

StorageAccess FileDatabaseStorage::CheckAccess(const DbString& name) {
  // A file that can be made in the folder shows that the folder takes new files, as creating
  // the database and replacing files need.
  const DbString catalog = CatalogPath(env_, name);
  const DbString probe = TemporaryPathFor(catalog);
  {
    DbFile file(env_);
    if (!file.Open(probe, kAccessReadWrite, platform::kDispositionOpenAlways, kShareExclusive)) {
      return Failed(env_, IsWriteRefused(env_.LastError()) ? StorageAccess::kReadOnly
                                                           : StorageAccess::kUnusable);
    }
  }
  // A probe left behind is the temporary name the next write of the catalog replaces.
  static_cast<void>(DeleteDbFile(env_, probe));
  std::vector<DbString> files = {catalog};
  DirectoryLister lister(env_);
  for (int more = lister.First(TableFilePattern()); more; more = lister.Next()) {
    files.push_back(DatabaseFilePath(env_, lister.Name(), ""));
  }
  for (const DbString& path : files) {
    DbFile file(env_);
    if (file.Open(path, kAccessReadWrite, platform::kDispositionOpenExisting, kShareReadWrite) ||
        IsMissing(env_.LastError())) {
      continue;
    }
    return Failed(env_, IsWriteRefused(env_.LastError()) ? StorageAccess::kReadOnly
                                                         : StorageAccess::kUnusable);
  }
  return StorageAccess::kWritable;
}

bool FileDatabaseStorage::PutBackUnfinishedChange(const DbString& name) {
  // No TableFile is open on the tables yet, so none needs telling what was put back.
  TableWriteGenerations generations;
  TableJournal journal(env_, name, &generations);
  return journal.Recover() == 1 || Failed(env_, false);
}

StoredCatalog FileDatabaseStorage::ReadCatalog(const DbString& name, DbSchema* out) {
  out->Clear();
  DbString content;
  if (!ReadWholeFile(env_, CatalogPath(env_, name), &content)) {
    if (IsMissing(env_.LastError())) return StoredCatalog::kAbsent;
    return Failed(env_, StoredCatalog::kUnreadable);
  }
  return DecodeWholeCatalog(content.View(), out) ? StoredCatalog::kWhole : StoredCatalog::kDamaged;
}

TableScan FileDatabaseStorage::ScanRows(const DbTableSchema& table, const StoredRowVisitor& visit) {
  TableScan scan;
  DbFile file(env_);
  if (!file.Open(DatabaseFilePath(env_, table.name, kTableFileExtension), kAccessRead,
                 platform::kDispositionOpenExisting, kShareReadWrite)) {
    if (!IsMissing(env_.LastError())) scan.sound = Failed(env_, false);
    return scan;
  }
  scan.present = true;
  const size_t slot_size = static_cast<size_t>(kSlotBytesPerColumn) * table.ColumnCount();
  std::vector<DbValue> row(table.columns.size());
  auto take_slot = [&](std::string_view slot) {
    const bool readable = visit ? DecodeSlot(slot, table, &row) : SlotDecodes(slot, table);
    if (!readable) {
      ++scan.unreadable;
      return;
    }
    ++scan.rows;
    if (visit) visit(row);
  };
  // Read in blocks of whole slots, decoded where they were read; only the slot a short read cuts
  // in two waits, in `carry`, for the rest of its bytes.
  std::string carry;
  DbString block;
  const uint32_t block_size = static_cast<uint32_t>(std::max<size_t>(slot_size, 1) * kSlotsPerRead);
  file.ClearError();
  while (file.Read(block, block_size) > 0) {
    std::string_view bytes = block.View();
    if (!carry.empty() && slot_size > 0) {
      const size_t wanted = std::min(slot_size - carry.size(), bytes.size());
      carry.append(bytes.substr(0, wanted));
      bytes.remove_prefix(wanted);
      if (carry.size() < slot_size) continue;
      take_slot(carry);
      carry.clear();
    }
    for (; slot_size > 0 && bytes.size() >= slot_size; bytes.remove_prefix(slot_size)) {
      take_slot(bytes.substr(0, slot_size));
    }
    carry.append(bytes);
  }
  if (file.LastError() != DbFileError::kNone) scan.sound = Failed(env_, false);
  if (!carry.empty()) ++scan.unreadable;  // a slot cut short, or bytes of a table without columns
  return scan;
}

bool FileDatabaseStorage::CopyInto(const DbString& name, const DbString& folder) {
  DbString catalog_name(name);
  catalog_name.Append(kCatalogFileExtension);
  const DbString catalog = CatalogPath(env_, name);
  if (DbFileExists(env_, catalog) && !CopyFile(env_, catalog, InFolder(folder, catalog_name))) {
    return Failed(env_, false);
  }
  // A journal left by a change that never ended holds what that change overwrote in the tables.
  DbString journal_name(name);
  journal_name.Append(kJournalFileExtension);
  const DbString journal = TableJournal::PathFor(env_, name);
  if (DbFileExists(env_, journal) && !CopyFile(env_, journal, InFolder(folder, journal_name))) {
    return Failed(env_, false);
  }
  DirectoryLister lister(env_);
  if (!lister.First(TableFilePattern())) return NothingFound(env_) || Failed(env_, false);
  do {
    if (!CopyFile(env_, DatabaseFilePath(env_, lister.Name(), ""),
                  InFolder(folder, lister.Name()))) {
      return Failed(env_, false);
    }
  } while (lister.Next());
  return true;
}

bool FileDatabaseStorage::Delete(const DbString& name, const DbSchema& tables, bool copy_kept) {
  (void)copy_kept;  // files are deleted one by one: none is refused for what another holds
  // What could not be deleted this way is deleted file by file below.
  static_cast<void>(DbConnection(env_, DriverKind::kFileDatabase).DeleteDatabase(name));
  std::vector<DbString> files = {CatalogPath(env_, name)};
  for (uint32_t i = 0; i < tables.Count(); ++i) {
    files.push_back(DatabaseFilePath(env_, tables.At(i)->name, kTableFileExtension));
  }
  for (const DbString& path : files) {
    if (!DeleteDbFile(env_, path) && !IsMissing(env_.LastError())) return Failed(env_, false);
  }
  return true;
}

bool FileDatabaseStorage::StartAfresh() { return false; }

bool FileDatabaseStorage::HoldsOtherData() { return false; }

}  // namespace ledgerix
