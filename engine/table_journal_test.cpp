#include "engine/table_journal.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/table_file.h"
#include "engine/testing/slot_bytes.h"
#include "platform/fault_injection_env.h"
#include "testing/stopping_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

constexpr char16_t kJournalPath[] = u"\\tolvena_db\\db.$jnl$";
constexpr int kSlot = 36;  // two columns

std::string Slots(int count, int first = 0) { return testing::SlotBytes(count, kSlot, first); }

// The bytes of the two tables "t" and "u" of the database "db".
struct Tables {
  std::string t;
  std::string u;
  bool operator==(const Tables&) const = default;
};

// What a piece of work has: the journal and a TableFile per table sharing it, as the driver's
// record sets do.
struct Open {
  std::shared_ptr<TableJournal> journal;
  std::unique_ptr<TableFile> t;
  std::unique_ptr<TableFile> u;
};

class TableJournalTest : public ::testing::Test {
 protected:
  static std::u16string TablePath(const char* name) {
    std::u16string path = u"\\tolvena_db\\";
    for (const char* c = name; *c != '\0'; ++c) path += static_cast<char16_t>(*c);
    return path + u".$tab$";
  }
  Tables Stored() const {
    return {device_.ReadHostFile(TablePath("t")), device_.ReadHostFile(TablePath("u"))};
  }
  void Store(const Tables& tables) {
    ASSERT_TRUE(device_.WriteHostFile(TablePath("t"), tables.t));
    ASSERT_TRUE(device_.WriteHostFile(TablePath("u"), tables.u));
  }
  // Opens the journal (putting back what it holds) and both tables on `env`; *opened tells
  // whether all of it worked.
  Open OpenAll(platform::Env& env, bool* opened = nullptr) {
    Open open;
    open.journal = std::make_shared<TableJournal>(env, DbString("db"), &generations_);
    open.t = std::make_unique<TableFile>(env, DbString("t"), 2, &generations_, open.journal);
    open.u = std::make_unique<TableFile>(env, DbString("u"), 2, &generations_, open.journal);
    const bool all = open.journal->Recover() && open.t->OpenStreams() && open.u->OpenStreams();
    if (opened != nullptr) {
      *opened = all;
    } else {
      EXPECT_TRUE(all);
    }
    return open;
  }
  // The tables as the next start finds them: the journal put back first.
  Tables Reopened() {
    Open open = OpenAll(env_);
    return Stored();
  }

  testing::TempDeviceRoot device_;
  platform::PosixEnv& env_ = device_.env();
  TableWriteGenerations generations_;
};

const Tables kBefore{Slots(2000), Slots(30, 500)};

// Every piece of work that changes the tables, as a transaction of its own or inside one.
struct Case {
  const char* name;
  std::function<int(Open&)> work;
};

std::vector<Case> Cases() {
  const DbString row(Slots(1, 900));
  return {
      {"insert", [row](Open& o) { return o.t->InsertAt(kSlot * 3, row); }},
      {"delete", [](Open& o) { return o.t->DeleteAt(kSlot * 5, kSlot); }},
      {"overwrite", [row](Open& o) { return o.t->WriteAt(kSlot * 1500, row); }},
      {"append", [row](Open& o) { return o.u->Append(row); }},
      {"empty", [](Open& o) { return o.t->Clear(); }},
      {"bulk load",
       [row](Open& o) {
         return o.t->BeginDeferred() && o.t->InsertAt(kSlot * 7, row) &&
                        o.t->DeleteAt(kSlot * 1000, kSlot * 3)
                    ? o.t->EndDeferred()
                    : 0;
       }},
      {"transaction over two tables",
       [row](Open& o) {
         if (!o.journal->Begin()) return 0;
         const bool written = o.t->InsertAt(kSlot * 10, row) && o.u->DeleteAt(0, kSlot) &&
                              o.t->WriteAt(0, row) && o.u->Append(row) &&
                              o.t->DeleteAt(kSlot * 1990, kSlot * 2);
         if (!written) return o.journal->Rollback() * 0;
         return o.journal->Commit();
       }},
      {"restore",
       [row](Open& o) {
         if (!o.journal->Begin() || !o.t->Clear() || !o.t->BeginDeferred()) return 0;
         for (int i = 0; i < 50; ++i) {
           if (!o.t->Append(DbString(Slots(1, 700 + i)))) return 0;
         }
         if (!o.t->EndDeferred() || !o.u->Clear() || !o.u->Append(row)) return 0;
         return o.journal->Commit();
       }},
  };
}

// Runs the work once through, then stops the disk at its first, second, ... change: the next
// start must find every table as it was, or as the work leaves it, never anything between;
// and after the work answered 1, as it leaves it.
TEST_F(TableJournalTest, AKillAtAnyMomentLeavesTheOldTablesOrTheNew) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(device_.WriteHostFile(kJournalPath, ""));
    Store(kBefore);
    {
      Open open = OpenAll(env_);
      ASSERT_EQ(c.work(open), 1);
    }
    const Tables after = Stored();
    ASSERT_FALSE(after == kBefore);
    int old_ones = 0;
    for (int n = 1;; ++n) {
      ASSERT_LT(n, 500) << "the work never ran through";
      Store(kBefore);
      ASSERT_TRUE(device_.WriteHostFile(kJournalPath, ""));
      int result = 0;
      bool stopped = false;
      {
        testing::StoppingEnv stopping(&env_, n);
        bool opened = false;
        Open open = OpenAll(stopping, &opened);
        result = opened ? c.work(open) : 0;
        stopped = stopping.stopped();
      }
      const Tables now = Reopened();
      if (!stopped) {
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(now == after) << "n = " << n;
        break;
      }
      const bool old = now == kBefore;
      EXPECT_TRUE(old || now == after) << "n = " << n << ": neither old nor new";
      EXPECT_TRUE(result == 0 || !old) << "n = " << n << ": answered 1 but lost";
      old_ones += old ? 1 : 0;
    }
    EXPECT_GT(old_ones, 0) << "no stop came before the work was stored";
  }
}

TEST_F(TableJournalTest, ARollbackPutsEveryTableBackAndTheReadersSeeIt) {
  Store(kBefore);
  Open open = OpenAll(env_);
  // A second TableFile on "t", as a second record set, with the whole table in its window.
  TableFile reader(env_, DbString("t"), 2, &generations_, open.journal);
  ASSERT_EQ(reader.OpenStreams(), 1);
  DbString slot;
  ASSERT_EQ(reader.ReadAt(kSlot * 3, kSlot, &slot), 1);
  ASSERT_EQ(open.journal->Begin(), 1);
  EXPECT_EQ(open.journal->Begin(), 0) << "transactions do not nest";
  EXPECT_TRUE(open.journal->InTransaction());
  ASSERT_EQ(open.t->InsertAt(kSlot * 3, DbString(Slots(1, 900))), 1);
  ASSERT_EQ(open.u->Clear(), 1);
  ASSERT_EQ(reader.ReadAt(kSlot * 3, kSlot, &slot), 1);
  EXPECT_EQ(std::string(slot.View()), Slots(1, 900)) << "the transaction sees its own writes";
  EXPECT_EQ(reader.RowCount(), 2001);

  EXPECT_EQ(open.journal->Rollback(), 1);
  EXPECT_FALSE(open.journal->InTransaction());
  EXPECT_TRUE(Stored() == kBefore);
  EXPECT_EQ(device_.ReadHostFile(kJournalPath).size(), 0u) << "emptied";
  ASSERT_EQ(reader.ReadAt(kSlot * 3, kSlot, &slot), 1);
  EXPECT_EQ(std::string(slot.View()), Slots(1, 3));
  EXPECT_EQ(reader.RowCount(), 2000);
  EXPECT_EQ(open.u->RowCount(), 30);
  EXPECT_EQ(open.journal->Rollback(), 0) << "none runs";
  EXPECT_EQ(open.journal->Commit(), 0);
}

TEST_F(TableJournalTest, ACommitKeepsEverythingAndEmptiesTheJournal) {
  Store(kBefore);
  Open open = OpenAll(env_);
  ASSERT_EQ(open.journal->Begin(), 1);
  ASSERT_EQ(open.t->DeleteAt(0, kSlot), 1);
  ASSERT_EQ(open.t->DeleteAt(0, kSlot), 1);  // the same bytes are journaled once
  const size_t journaled = device_.ReadHostFile(kJournalPath).size();
  EXPECT_GT(journaled, kBefore.t.size());
  EXPECT_LT(journaled, kBefore.t.size() + 200);
  ASSERT_EQ(open.journal->Commit(), 1);
  EXPECT_EQ(device_.ReadHostFile(kJournalPath).size(), 0u);
  EXPECT_TRUE(Stored().t == kBefore.t.substr(2 * kSlot));
  open.journal->Close();
  EXPECT_FALSE(device_.Exists(kJournalPath)) << "gone once the database is closed";
  EXPECT_EQ(open.t->DeleteAt(0, kSlot), 0) << "no change once closed";
  EXPECT_EQ(open.journal->Begin(), 0);
  EXPECT_TRUE(Stored().t == kBefore.t.substr(2 * kSlot));
}

// A bulk load belongs to the transaction it began in.
TEST_F(TableJournalTest, ABulkLoadGoesWithItsTransaction) {
  Store(kBefore);
  Open open = OpenAll(env_);
  const DbString row(Slots(1, 900));
  // Still running at the commit: everything is taken back.
  ASSERT_EQ(open.journal->Begin(), 1);
  ASSERT_EQ(open.u->Clear(), 1);
  ASSERT_EQ(open.t->BeginDeferred(), 1);
  ASSERT_EQ(open.t->Append(row), 1);
  EXPECT_EQ(open.journal->Commit(), 0);
  EXPECT_TRUE(Stored() == kBefore);
  EXPECT_EQ(open.t->EndDeferred(), 0) << "its transaction is over";
  EXPECT_TRUE(Stored() == kBefore);
  // Ended after a rollback, or in a later transaction: it stores nothing.
  ASSERT_EQ(open.journal->Begin(), 1);
  ASSERT_EQ(open.t->BeginDeferred(), 1);
  ASSERT_EQ(open.t->Append(row), 1);
  EXPECT_EQ(open.journal->Rollback(), 1);
  ASSERT_EQ(open.journal->Begin(), 1);
  EXPECT_EQ(open.t->EndDeferred(), 0);
  EXPECT_EQ(open.journal->Commit(), 1);
  EXPECT_TRUE(Stored() == kBefore);
  // Ended inside: stored with the commit.
  ASSERT_EQ(open.journal->Begin(), 1);
  ASSERT_EQ(open.t->BeginDeferred(), 1);
  ASSERT_EQ(open.t->Append(row), 1);
  EXPECT_EQ(open.t->EndDeferred(), 1);
  EXPECT_EQ(open.journal->Commit(), 1);
  EXPECT_TRUE(Stored().t == kBefore.t + Slots(1, 900));
}

// A journal cut short by a kill: its whole records are put back, the cut one is not (its table
// was not touched yet).
TEST_F(TableJournalTest, OnlyTheWholeRecordsOfAJournalArePutBack) {
  const uint64_t salt = 42;
  const std::string t_former = kBefore.t.substr(0, 100);
  const std::string u_former = kBefore.u.substr(36);
  const JournalFrame t_record = FrameJournalRecord(salt, "t", 2000 * kSlot, 0, t_former);
  const JournalFrame u_record = FrameJournalRecord(salt, "u", 30 * kSlot, 36, u_former);
  const std::string whole_t =
      JournalHeader(salt) + t_record.head + std::string(t_record.bytes) + t_record.tail;
  const std::string u_part = u_record.head + std::string(u_record.bytes) + u_record.tail;
  // The tables as the transaction left them: "t" changed at its start and grown, "u" cut.
  const Tables changed{std::string(100, 'x') + kBefore.t.substr(100) + Slots(3, 900),
                       kBefore.u.substr(0, 36)};
  for (size_t cut = 0; cut <= u_part.size(); cut += cut < 40 ? 1 : 97) {
    SCOPED_TRACE(cut);
    Store(changed);
    ASSERT_TRUE(device_.WriteHostFile(kJournalPath, whole_t + u_part.substr(0, cut)));
    const Tables now = Reopened();
    EXPECT_TRUE(now.t == kBefore.t) << "put back and cut to its size";
    EXPECT_TRUE(now.u == (cut == u_part.size() ? kBefore.u : changed.u));
    EXPECT_EQ(device_.ReadHostFile(kJournalPath).size(), 0u);
  }
}

// A kill while the next start puts a journal back leaves it for the start after: putting back
// again gives the same tables.
TEST_F(TableJournalTest, AKillWhilePuttingBackLeavesItToTheNextStart) {
  const std::string t_former = kBefore.t.substr(kSlot * 10);
  const std::string u_former = kBefore.u;
  const JournalFrame t_record = FrameJournalRecord(5, "t", 2000 * kSlot, kSlot * 10, t_former);
  const JournalFrame u_record = FrameJournalRecord(5, "u", 30 * kSlot, 0, u_former);
  const std::string journal = JournalHeader(5) + t_record.head + t_former + t_record.tail +
                              u_record.head + u_former + u_record.tail;
  // "t" moved from its 10th row on and grown, "u" emptied.
  const Tables changed{kBefore.t.substr(0, kSlot * 10) + Slots(1995, 900), ""};
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 100) << "putting back never ran through";
    Store(changed);
    ASSERT_TRUE(device_.WriteHostFile(kJournalPath, journal));
    bool stopped = false;
    {
      testing::StoppingEnv stopping(&env_, n);
      TableJournal journal_there(stopping, DbString("db"), &generations_);
      const int recovered = journal_there.Recover();
      stopped = stopping.stopped();
      EXPECT_TRUE(stopped || recovered == 1) << "n = " << n;
    }
    EXPECT_TRUE(Reopened() == kBefore) << "n = " << n;
    if (!stopped) break;
  }
}

// Putting back can fail too (the disk fails at the next start): the journal stays for the start
// after, and nothing may change the tables meanwhile.
TEST_F(TableJournalTest, AJournalThatCannotBePutBackIsKept) {
  const std::string former = kBefore.t.substr(0, 72);
  const JournalFrame record = FrameJournalRecord(9, "t", 2000 * kSlot, 0, former);
  const std::string journal =
      JournalHeader(9) + record.head + std::string(record.bytes) + record.tail;
  Store({std::string(72, 'x') + kBefore.t.substr(72), kBefore.u});
  ASSERT_TRUE(device_.WriteHostFile(kJournalPath, journal));
  platform::FaultInjectionEnv faulty(&env_);
  for (platform::FileOp op : {platform::FileOp::kWrite, platform::FileOp::kSync}) {
    faulty.Reset();
    faulty.FailNth(op, 1, platform::winerr::kWriteFault);
    TableJournal failing(faulty, DbString("db"), &generations_);
    EXPECT_EQ(failing.Recover(), 0);
    failing.Close();
    EXPECT_TRUE(device_.ReadHostFile(kJournalPath) == journal);
  }
  EXPECT_TRUE(Reopened() == kBefore);
}

}  // namespace
}  // namespace ledgerix
