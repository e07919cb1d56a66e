#pragma once
// TableJournal: the rollback journal of one open file database, which makes every change of its
// table files all or nothing, also when the process is killed or the disk fails on the way.
//
// The journal is the file "<database>.$jnl$" beside the catalog (format in journal_records.h).
// Before a byte of a table file changes, the bytes the change overwrites or cuts off are
// appended to the journal as they were when the transaction began (each byte once: what the
// journal holds already is not written again), together with the size the table had then, and
// the journal is synced; only then is the table written. So at every moment the journal holds
// the former content of every byte the transaction has changed so far.
//
// - Commit: every changed table file is synced, then the journal is cut to 0 bytes. That cut is
//   the moment the transaction counts as stored.
// - Rollback, and recovery when a database is opened and its journal holds records (a kill or a
//   crash came before a commit): the recorded bytes are written back, each table is cut to the
//   size it had, the tables are synced, and the journal is cut to 0 bytes. A record cut short
//   (the kill came while it was written) is ignored: its table was not touched yet.
// - A change outside a transaction is a transaction of its own, committed as soon as it is made
//   (or taken back when it failed).
//
// So after a kill, the next open finds each table as the last commit left it. The cut that
// commits is not itself synced (the next transaction's journal sync carries it): after a power
// failure right behind a commit the journal may come back, and that last transaction is then
// taken back whole. An insert or delete rewrites the rest of its table file, so the journal
// holds those rows; many changes in one transaction journal and sync them once. The journal file
// stays between transactions (emptying it costs less than deleting and creating it) and is
// deleted when the database is closed. One journal per database: a database must not be open in
// two drivers at once.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_ranges.h"
#include "engine/db_file.h"
#include "engine/db_string.h"
#include "engine/journal_records.h"
#include "engine/table_write_generations.h"
#include "platform/env.h"

namespace ledgerix {

inline constexpr const char* kJournalFileExtension = ".$jnl$";

class TableJournal {
 public:
  // The journal of the database `database_name`. `generations` (not owned, must outlive the
  // journal's use) is told of every table the journal puts back, so that the TableFiles on it
  // read afresh. Nothing is touched until Recover or a change.
  TableJournal(platform::Env& env, const DbString& database_name,
               TableWriteGenerations* generations);
  TableJournal(const TableJournal&) = delete;
  TableJournal& operator=(const TableJournal&) = delete;
  // Close().
  ~TableJournal();

  // The journal file of a database (the database folder is created on the way).
  static DbString PathFor(platform::Env& env, const DbString& database_name);

  // Puts back whatever the journal file holds and empties it: call once when the database is
  // opened, before its tables are read (the first change calls it otherwise). 1 when there was
  // nothing to put back or all of it was; 0 when a table could not be written back (the journal
  // is kept for the next try, and no change is made before one succeeds).
  [[nodiscard]] int Recover();

  // Explicit transactions (DbDriver::BeginTransaction and the rest). Begin: 0 when one runs,
  // when the journal is closed, or when an earlier transaction could not yet be put back.
  // Commit: 1 when stored; 0 when none runs or storing failed (then everything is taken back,
  // as it is when a bulk load begun inside is still running). Rollback: 1 when the tables are
  // as they were; 0 when none runs or they could not be put back now (the next Recover does).
  [[nodiscard]] int Begin();
  [[nodiscard]] int Commit();
  [[nodiscard]] int Rollback();
  bool InTransaction() const { return explicit_; }

  // Rolls back a transaction still running, deletes the journal file when it holds nothing to
  // put back, and refuses every change from then on.
  void Close();

  // --- For TableFile, around each change of a table file ----------------------------------------
  // Call before changing table `table`'s file, now `size` bytes long, from `from` on; `former`
  // holds the bytes from `from` that the change overwrites or cuts off. Journals what it must
  // and syncs the journal. True when the change may go ahead; false when it must not be made
  // (the journal is closed, a failed transaction waits to end, or the journal could not be
  // written), and then nothing is left to do.
  [[nodiscard]] bool BeforeChange(const DbString& table, int64_t size, int64_t from,
                                  std::string_view former);
  // Bytes of a table file as they were, from `from` on.
  struct FormerBytes {
    int64_t from = 0;
    std::string_view bytes;
  };
  // BeforeChange for one change made of several ranges (ascending, apart): one sync for all.
  [[nodiscard]] bool BeforeChanges(const DbString& table, int64_t size,
                                   std::span<const FormerBytes> ranges);
  // Call after every change that BeforeChange allowed: `made` tells whether it was made whole,
  // `put_back` whether the file is as it was before (TableFile puts back a failed change
  // itself). Outside a transaction the change is committed, or taken back from the journal.
  // Inside one, a failed change that could not be put back makes the whole transaction roll
  // back at once (its commit then answers 0). Answers whether the change stands.
  [[nodiscard]] bool AfterChange(bool made, bool put_back);

  // The explicit transaction running, as a number that no later transaction repeats; 0 when
  // none runs. A bulk load begun inside one tells the journal (LoadBegun), and when it ends
  // (LoadEnded with this number): a commit while one is still running takes everything back.
  uint64_t TransactionId() const { return explicit_ ? transaction_id_ : 0; }
  void LoadBegun();
  void LoadEnded(uint64_t transaction_id);

 private:
  // A table changed in the running transaction: its size when the transaction first changed
  // it, and the offsets below that size whose former bytes the journal holds.
  struct ChangedTable {
    int64_t size_before = 0;
    ByteRanges journaled;
  };

  // Puts back what a failed transaction left on disk before anything else may change.
  [[nodiscard]] bool Settle();
  [[nodiscard]] bool OpenFile();
  // Appends `frames` (with the header first when the journal is empty) and syncs. On failure
  // the journal is cut back to where it ended; *cut_back tells whether that worked.
  [[nodiscard]] bool AppendRecords(const std::vector<JournalFrame>& frames, bool* cut_back);
  [[nodiscard]] bool CutFile(int64_t size);
  // Syncs the changed tables and empties the journal: the commit.
  [[nodiscard]] bool Store();
  // Puts back every table from the journal on disk. True when done (or nothing was changed);
  // false leaves the journal on disk for Settle or the next open.
  [[nodiscard]] bool TakeBack();
  // Ends the running transaction early by taking it back.
  void Abandon();
  void Forget();
  DbString TablePath(std::string_view table) const;

  platform::Env& env_;
  DbString path_;
  TableWriteGenerations* generations_;
  DbFile file_;
  bool closed_ = false;
  bool explicit_ = false;   // an explicit transaction runs
  bool implicit_ = false;   // a change outside a transaction is under way
  bool abandoned_ = false;  // the explicit transaction was taken back early
  // The journal on disk may hold what must be put back before anything changes: until the first
  // Recover succeeds, and again after a take-back failed.
  bool needs_recovery_ = true;
  uint64_t transaction_id_ = 0;
  int pending_loads_ = 0;
  uint64_t salt_;
  int64_t end_ = 0;  // where the journal's valid records end; 0 while it holds none
  std::map<std::string, ChangedTable, std::less<>> tables_;
};

}  // namespace ledgerix
