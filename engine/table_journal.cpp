#include "engine/table_journal.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <utility>

#include "engine/database_folder.h"
#include "engine/program_path.h"

namespace ledgerix {
namespace {

bool SeekTo(DbFile& file, int64_t offset) { return offset >= 0 && file.Seek(0, offset) == offset; }

// Writes all of `bytes` at the file's position; a short count (a full disk) is a failure.
bool WriteWhole(DbFile& file, std::string_view bytes) {
  if (bytes.empty()) return true;
  if (bytes.size() > UINT32_MAX) return false;
  const auto n = static_cast<uint32_t>(bytes.size());
  return file.WriteBytes(bytes.data(), n) == n;
}

bool ReadWhole(DbFile& file, std::string* out) {
  const int64_t size = file.Size();
  if (size < 0 || !SeekTo(file, 0)) return false;
  out->resize(static_cast<size_t>(size));
  int64_t have = 0;
  while (have < size) {
    const uint32_t got = file.ReadBytes(
        out->data() + have, static_cast<uint32_t>(std::min<int64_t>(size - have, UINT32_MAX)));
    if (got == 0) return false;
    have += got;
  }
  return true;
}

// Writes the recorded bytes back into their tables, cuts each table to its recorded size and
// syncs it. Every table touched is named in *touched, also on failure.
bool PutBack(platform::Env& env, const std::vector<JournalRecord>& records,
             const std::function<DbString(std::string_view)>& path_of,
             std::vector<DbString>* touched) {
  struct Table {
    std::unique_ptr<DbFile> file;
    uint32_t size = 0;
  };
  std::map<std::string_view, Table> tables;
  for (const JournalRecord& record : records) {
    Table& table = tables[record.table];
    if (table.file == nullptr) {
      table.size = record.size_before;
      table.file = std::make_unique<DbFile>(env);
      touched->push_back(path_of(record.table));
      if (!table.file->Open(touched->back(), kAccessReadWrite, platform::kDispositionOpenAlways,
                            kShareReadWrite)) {
        return false;
      }
    }
    if (!record.bytes.empty() &&
        (!SeekTo(*table.file, record.offset) || !WriteWhole(*table.file, record.bytes))) {
      return false;
    }
  }
  for (auto& [name, table] : tables) {
    if (!table.file->Truncate(table.size) || !table.file->Sync()) return false;
  }
  return true;
}

}  // namespace

TableJournal::TableJournal(platform::Env& env, const DbString& database_name,
                           TableWriteGenerations* generations)
    : env_(env),
      path_(PathFor(env, database_name)),
      generations_(generations),
      file_(env),
      salt_((uint64_t{std::random_device()()} << 32) ^ std::random_device()()) {}

TableJournal::~TableJournal() { Close(); }

DbString TableJournal::PathFor(platform::Env& env, const DbString& database_name) {
  return DatabaseFilePath(env, database_name, kJournalFileExtension);
}

DbString TableJournal::TablePath(std::string_view table) const {
  // Built without creating the folder again: the journal's path made it.
  DbString path = ProgramPath(env_, DbString(kDatabaseFolderName));
  path.Append("\\");
  path.AppendBytes(table.data(), static_cast<uint32_t>(table.size()));
  path.Append(kTableFileExtension);
  return path;
}

bool TableJournal::OpenFile() {
  return file_.IsOpen() || file_.Open(path_, kAccessReadWrite, platform::kDispositionOpenAlways,
                                      kShareReadWrite) == 1;
}

bool TableJournal::CutFile(int64_t size) {
  return file_.IsOpen() && file_.Truncate(static_cast<uint32_t>(size)) == 1;
}

// ---- Recovery ----

int TableJournal::Recover() {
  if (!file_.IsOpen() &&
      !file_.Open(path_, kAccessReadWrite, platform::kDispositionOpenExisting, kShareReadWrite)) {
    // No journal: nothing ever needs putting back.
    const DbFileError error = file_.LastError();
    if (error != DbFileError::kFileNotFound && error != DbFileError::kBadPath) return 0;
    needs_recovery_ = false;
    return 1;
  }
  std::string journal;
  if (!ReadWhole(file_, &journal)) return 0;
  const std::vector<JournalRecord> records = ParseJournal(journal);
  std::vector<DbString> touched;
  const bool put_back = PutBack(
      env_, records, [this](std::string_view table) { return TablePath(table); }, &touched);
  if (generations_ != nullptr) {
    for (const DbString& path : touched) ++*generations_->CounterFor(path);
  }
  if (!put_back) return 0;
  // Whatever the cut leaves is harmless: put back again it changes nothing, and the next
  // transaction's header (with a new salt) makes it unreadable.
  static_cast<void>(CutFile(0));
  end_ = 0;
  needs_recovery_ = false;
  return 1;
}

bool TableJournal::Settle() { return !needs_recovery_ || Recover() == 1; }

// ---- Transactions ----

int TableJournal::Begin() {
  if (closed_ || explicit_ || implicit_ || !Settle()) return 0;
  Forget();
  explicit_ = true;
  abandoned_ = false;
  ++transaction_id_;
  pending_loads_ = 0;
  return 1;
}

int TableJournal::Commit() {
  if (!explicit_) return 0;
  explicit_ = false;
  if (abandoned_) {
    abandoned_ = false;
    return 0;
  }
  if (pending_loads_ == 0 && Store()) return 1;
  // A take-back that fails leaves the journal for the next open to put back.
  static_cast<void>(TakeBack());
  return 0;
}

int TableJournal::Rollback() {
  if (!explicit_) return 0;
  explicit_ = false;
  if (abandoned_) {
    abandoned_ = false;
    return needs_recovery_ ? 0 : 1;
  }
  return TakeBack() ? 1 : 0;
}

void TableJournal::LoadBegun() {
  if (explicit_) ++pending_loads_;
}

void TableJournal::LoadEnded(uint64_t transaction_id) {
  if (explicit_ && transaction_id == transaction_id_ && pending_loads_ > 0) --pending_loads_;
}

void TableJournal::Close() {
  if (closed_) return;
  // A rollback that fails keeps the journal (needs_recovery_) for the next open to put back.
  if (explicit_) static_cast<void>(Rollback());
  closed_ = true;
  const bool had_file = file_.IsOpen();
  // The journal is only read again by the next open, which finds it whole or cut short.
  if (had_file) static_cast<void>(file_.Close());
  // An empty journal left behind puts nothing back.
  if (had_file && end_ == 0 && !needs_recovery_) static_cast<void>(DeleteDbFile(env_, path_));
}

void TableJournal::Forget() {
  tables_.clear();
  end_ = 0;
}

bool TableJournal::Store() {
  for (const auto& [name, table] : tables_) {
    DbFile file(env_, TablePath(name), kAccessRead, platform::kDispositionOpenExisting,
                kShareReadWrite);
    if (!file.IsOpen() || !file.Sync()) return false;
  }
  if (end_ > 0 && !CutFile(0)) return false;
  Forget();
  return true;
}

bool TableJournal::TakeBack() {
  const bool changed = end_ > 0;
  Forget();
  // Every change is journaled before it is made: an empty journal means nothing changed.
  if (!changed) return true;
  needs_recovery_ = true;
  return Recover() == 1;
}

void TableJournal::Abandon() {
  abandoned_ = true;
  // A take-back that fails keeps needs_recovery_, which the transaction's end answers.
  static_cast<void>(TakeBack());
}

// ---- Around each change ----

bool TableJournal::BeforeChange(const DbString& table, int64_t size, int64_t from,
                                std::string_view former) {
  const FormerBytes range{from, former};
  return BeforeChanges(table, size, std::span<const FormerBytes>(&range, 1));
}

bool TableJournal::BeforeChanges(const DbString& table, int64_t size,
                                 std::span<const FormerBytes> ranges) {
  if (closed_ || abandoned_ || size < 0 || size > UINT32_MAX) return false;
  if (!explicit_) {
    if (implicit_ || !Settle()) return false;
    Forget();
    implicit_ = true;  // a transaction of its own, ended by AfterChange
  }
  auto [it, first_change] = tables_.try_emplace(std::string(table.View()));
  ChangedTable& changed = it->second;
  if (first_change) changed.size_before = size;
  const auto size_before = static_cast<uint32_t>(changed.size_before);
  if (end_ == 0) ++salt_;  // a new journal: records of the one before do not pass for its own
  std::vector<JournalFrame> frames;
  std::vector<ByteRanges::Range> kept;
  for (const FormerBytes& range : ranges) {
    // Only bytes the table had when the transaction began need keeping, each once.
    const int64_t end = std::min<int64_t>(range.from + static_cast<int64_t>(range.bytes.size()),
                                          changed.size_before);
    for (const ByteRanges::Range& gap : changed.journaled.Gaps(range.from, end)) {
      frames.push_back(
          FrameJournalRecord(salt_, table.View(), size_before, static_cast<uint32_t>(gap.first),
                             range.bytes.substr(static_cast<size_t>(gap.first - range.from),
                                                static_cast<size_t>(gap.second - gap.first))));
      kept.push_back(gap);
    }
  }
  if (!first_change && frames.empty()) return true;
  // The first record of a table carries its size even when no byte needs keeping (an append).
  if (frames.empty()) frames.push_back(FrameJournalRecord(salt_, table.View(), size_before, 0, {}));
  bool cut_back = true;
  if (AppendRecords(frames, &cut_back)) {
    for (const ByteRanges::Range& gap : kept) changed.journaled.Add(gap.first, gap.second);
    return true;
  }
  if (first_change) tables_.erase(it);
  if (!explicit_) {
    // Nothing was changed: whatever the journal holds describes tables as they are.
    implicit_ = false;
    Forget();
  } else if (!cut_back) {
    // Records appended after a cut-short one could never be read back.
    Abandon();
  }
  return false;
}

bool TableJournal::AppendRecords(const std::vector<JournalFrame>& frames, bool* cut_back) {
  const int64_t start = end_;
  if (!OpenFile()) return false;
  bool ok = SeekTo(file_, start);
  int64_t written = 0;
  if (ok && start == 0) {
    const std::string header = JournalHeader(salt_);
    ok = WriteWhole(file_, header);
    written += static_cast<int64_t>(header.size());
  }
  for (const JournalFrame& frame : frames) {
    if (!ok) break;
    ok = WriteWhole(file_, frame.head) && WriteWhole(file_, frame.bytes) &&
         WriteWhole(file_, frame.tail);
    written += static_cast<int64_t>(frame.head.size() + frame.bytes.size() + frame.tail.size());
  }
  // The table may change only once its former bytes are on stable storage.
  ok = ok && start + written <= UINT32_MAX && file_.Sync();
  if (ok) {
    end_ = start + written;
    return true;
  }
  *cut_back = CutFile(start);
  return false;
}

bool TableJournal::AfterChange(bool made, bool put_back) {
  if (explicit_) {
    if (!made && !put_back) Abandon();
    return made;
  }
  if (!implicit_) return made;
  implicit_ = false;
  if (made && Store()) return true;
  // A take-back that fails leaves the journal for the next open to put back.
  static_cast<void>(TakeBack());
  return false;
}

}  // namespace ledgerix
