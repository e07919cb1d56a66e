#include "engine/table_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/testing/slot_bytes.h"
#include "platform/fault_injection_env.h"
#include "testing/temp_device_root.h"

namespace ledgerix {
namespace {

using platform::FaultInjectionEnv;
namespace winerr = platform::winerr;

constexpr char16_t kTablePath[] = u"\\tolvena_db\\t.$tab$";

std::string Slots(int count, int slot, int first = 0) {
  return testing::SlotBytes(count, slot, first);
}

// The reference for ReplaceSlots: the rows as a list, changed one at a time.
std::string ReplacedByHand(const std::string& before, int slot, const std::vector<int64_t>& removed,
                           const std::vector<SlotInsert>& inserts) {
  std::string after;
  const int64_t rows = static_cast<int64_t>(before.size()) / slot;
  for (int64_t row = 0; row <= rows; ++row) {
    for (const SlotInsert& insert : inserts) {
      if (insert.before_row == row) after += insert.bytes;
    }
    if (row < rows && std::find(removed.begin(), removed.end(), row) == removed.end()) {
      after += before.substr(static_cast<size_t>(row * slot), static_cast<size_t>(slot));
    }
  }
  return after;
}

class TableFileTest : public ::testing::Test {
 protected:
  std::string Contents() const { return device_.ReadHostFile(kTablePath); }
  void SetContents(const std::string& bytes) {
    ASSERT_TRUE(device_.WriteHostFile(kTablePath, bytes));
  }
  std::unique_ptr<TableFile> OpenTable(platform::Env& env, int columns,
                                       TableWriteGenerations* generations = nullptr) {
    auto table = std::make_unique<TableFile>(env, DbString("t"), columns, generations);
    EXPECT_EQ(table->OpenStreams(), 1);
    return table;
  }

  testing::TempDeviceRoot device_;
  platform::Env& env_ = device_.env();
};

TEST_F(TableFileTest, PathSlotSizeAndRowCount) {
  TableFile sixes(env_, DbString("[sec_consumeritems]"), 6);
  EXPECT_EQ(sixes.Path().View(), "\\tolvena_db\\[sec_consumeritems].$tab$");
  EXPECT_TRUE(device_.Exists(u"\\tolvena_db"));
  EXPECT_EQ(sixes.SlotSize(), 108);

  SetContents(std::string(324, 'x'));
  auto table = OpenTable(env_, 6);
  EXPECT_EQ(table->RowCount(), 3);
  table->CloseStreams();
  SetContents(std::string(330, 'x'));
  table = OpenTable(env_, 6);
  EXPECT_EQ(table->RowCount(), -1);
}

TEST_F(TableFileTest, ATableWithoutColumnsHasNoRowCount) {
  auto table = OpenTable(env_, 0);
  EXPECT_EQ(table->SlotSize(), 0);
  EXPECT_EQ(table->RowCount(), -1);
  EXPECT_EQ(table->ReadCurrentRow(), 0);
  EXPECT_EQ(table->AppendRow(DbString("a")), 0);
}

TEST_F(TableFileTest, OpenStreamsCreatesAMissingFileEmpty) {
  auto table = OpenTable(env_, 2);
  EXPECT_TRUE(device_.Exists(kTablePath));
  EXPECT_EQ(table->RowCount(), 0);
  EXPECT_EQ(table->ReadCurrentRow(), 0);
}

TEST_F(TableFileTest, ReadAtNeedsTheWholeRangeInsideTheFile) {
  SetContents(Slots(3, 36));
  auto table = OpenTable(env_, 2);
  DbString dest("old");
  EXPECT_EQ(table->ReadAt(72, 36, &dest), 1);
  EXPECT_EQ(std::string(dest.View()), Slots(1, 36, 2));
  EXPECT_EQ(table->ReadAt(73, 36, &dest), 0);
  EXPECT_EQ(dest.Length(), 0u);
  EXPECT_EQ(table->ReadAt(-36, 36, &dest), 0);
}

TEST_F(TableFileTest, InsertAtMovesTheRestUpAndAppendsAtTheEnd) {
  SetContents(Slots(3, 36));
  auto table = OpenTable(env_, 2);
  const std::string row = Slots(1, 36, 7);
  EXPECT_EQ(table->InsertAt(36, DbString(row)), 1);
  EXPECT_EQ(Contents(), Slots(1, 36) + row + Slots(2, 36, 1));
  EXPECT_EQ(table->InsertAt(4 * 36, DbString(row)), 1);  // offset = size: appends
  EXPECT_EQ(Contents(), Slots(1, 36) + row + Slots(2, 36, 1) + row);
  EXPECT_EQ(table->InsertAt(5 * 36 + 1, DbString(row)), 0);  // beyond the end
  EXPECT_EQ(table->InsertAt(0, DbString()), 0);
  EXPECT_EQ(table->RowCount(), 5);
}

TEST_F(TableFileTest, InsertAndDeleteMoveFilesLargerThanOneBlock) {
  const std::string rows = Slots(5000, 36);  // 180,000 bytes: several move blocks
  SetContents(rows);
  auto table = OpenTable(env_, 2);
  const std::string row = Slots(1, 36, 9999);
  ASSERT_EQ(table->InsertAt(36 * 17, DbString(row)), 1);
  EXPECT_EQ(Contents(), rows.substr(0, 36 * 17) + row + rows.substr(36 * 17));
  ASSERT_EQ(table->DeleteAt(36 * 17, 36), 1);
  EXPECT_EQ(Contents(), rows);
  ASSERT_EQ(table->DeleteAt(0, 36), 1);
  EXPECT_EQ(Contents(), rows.substr(36));
}

TEST_F(TableFileTest, DeleteAtOfTheLastSlotShrinksTheFile) {
  SetContents(Slots(3, 36));
  auto table = OpenTable(env_, 2);
  EXPECT_EQ(table->DeleteAt(72, 36), 1);
  EXPECT_EQ(Contents(), Slots(2, 36));
  EXPECT_EQ(table->DeleteAt(36, 37), 0);  // beyond the end
  EXPECT_EQ(table->DeleteAt(0, 0), 0);
  EXPECT_EQ(Contents(), Slots(2, 36));
}

TEST_F(TableFileTest, WriteAtAppendAndClear) {
  SetContents(Slots(2, 36));
  auto table = OpenTable(env_, 2);
  EXPECT_EQ(table->WriteAt(36, DbString("xyz")), 1);
  std::string expected = Slots(2, 36);
  expected.replace(36, 3, "xyz");
  EXPECT_EQ(Contents(), expected);
  EXPECT_EQ(table->AppendRow(DbString("ab")), 1);
  expected += std::string("ab") + std::string(34, '\0');
  EXPECT_EQ(Contents(), expected);
  EXPECT_EQ(table->AppendRow(DbString(std::string(37, 'a'))), 0);
  EXPECT_EQ(table->RowCount(), 3);
  EXPECT_EQ(table->Clear(), 1);
  EXPECT_EQ(Contents(), "");
  EXPECT_EQ(table->RowCount(), 0);
}

TEST_F(TableFileTest, RowMovesStayInsideTheFile) {
  SetContents(Slots(3, 36));
  auto table = OpenTable(env_, 2);
  table->MoveLast();
  EXPECT_EQ(table->CurrentOffset(), 72);
  ASSERT_EQ(table->ReadCurrentRow(), 1);
  EXPECT_EQ(std::string(table->RowBuffer().View()), Slots(1, 36, 2));
  table->MoveNext();  // the file holds 108 >= 72 + 36 bytes: moves onto the end
  EXPECT_EQ(table->CurrentOffset(), 108);
  EXPECT_EQ(table->ReadCurrentRow(), 0);
  table->MoveNext();
  EXPECT_EQ(table->CurrentOffset(), 108);
  table->MoveAbsolute(3);  // 108 is not below the size: stays
  EXPECT_EQ(table->CurrentOffset(), 108);
  table->MoveAbsolute(1);
  EXPECT_EQ(table->CurrentOffset(), 36);
  table->MovePrevious();
  table->MovePrevious();
  EXPECT_EQ(table->CurrentOffset(), 0);
  EXPECT_EQ(table->MoveByCode(kMoveLast, 0), 1);
  EXPECT_EQ(table->CurrentOffset(), 72);
  EXPECT_EQ(table->MoveByCode(kMoveFirst, 0), 1);
  EXPECT_EQ(table->CurrentOffset(), 0);
  EXPECT_EQ(table->MoveByCode(6, 0), 0);
}

// The read-ahead window must never serve bytes that a write has changed.
TEST_F(TableFileTest, TheWindowFollowsWritesThroughTheSameTable) {
  const std::string rows = Slots(4000, 36);
  SetContents(rows);
  auto table = OpenTable(env_, 2);
  DbString row;
  ASSERT_EQ(table->ReadAt(36, 36, &row), 1);  // fills the window
  ASSERT_EQ(table->WriteAt(36, DbString("new")), 1);
  ASSERT_EQ(table->ReadAt(36, 36, &row), 1);
  EXPECT_EQ(row.View().substr(0, 3), "new");
  ASSERT_EQ(table->InsertAt(0, DbString(Slots(1, 36, 50))), 1);
  ASSERT_EQ(table->ReadAt(72, 36, &row), 1);
  EXPECT_EQ(row.View().substr(0, 3), "new");
  ASSERT_EQ(table->DeleteAt(0, 72), 1);  // the inserted row and row 0
  ASSERT_EQ(table->ReadAt(36, 36, &row), 1);
  EXPECT_EQ(std::string(row.View()), Slots(1, 36, 2));
  ASSERT_EQ(table->AppendRow(DbString("end")), 1);
  ASSERT_EQ(table->ReadAt(3999 * 36, 36, &row), 1);
  EXPECT_EQ(row.View().substr(0, 3), "end");
}

TEST_F(TableFileTest, TheWindowFollowsWritesThroughASecondTableOnTheSameFile) {
  SetContents(Slots(4000, 36));
  TableWriteGenerations generations;
  auto reader = OpenTable(env_, 2, &generations);
  auto writer = OpenTable(env_, 2, &generations);
  DbString row;
  ASSERT_EQ(reader->ReadAt(0, 36, &row), 1);
  ASSERT_EQ(writer->WriteAt(36 * 10, DbString("w1")), 1);
  ASSERT_EQ(reader->ReadAt(36 * 10, 36, &row), 1);
  EXPECT_EQ(row.View().substr(0, 2), "w1");

  ASSERT_EQ(writer->DeleteAt(0, 36), 1);
  ASSERT_EQ(reader->ReadAt(36 * 9, 36, &row), 1);
  EXPECT_EQ(row.View().substr(0, 2), "w1");
  EXPECT_EQ(reader->RowCount(), 3999);

  ASSERT_EQ(writer->AppendRow(DbString("w2")), 1);
  EXPECT_EQ(reader->RowCount(), 4000);
  reader->MoveLast();
  ASSERT_EQ(reader->ReadCurrentRow(), 1);
  EXPECT_EQ(reader->RowBuffer().View().substr(0, 2), "w2");

  ASSERT_EQ(writer->Clear(), 1);
  EXPECT_EQ(reader->RowCount(), 0);
  EXPECT_EQ(reader->ReadAt(0, 36, &row), 0);
}

TEST_F(TableFileTest, WalkingBackwardsReadsEveryRow) {
  SetContents(Slots(5000, 36));
  auto table = OpenTable(env_, 2);
  table->MoveLast();
  for (int i = 4999; i >= 0; --i) {
    ASSERT_EQ(table->ReadCurrentRow(), 1);
    ASSERT_EQ(std::string(table->RowBuffer().View()), Slots(1, 36, i)) << i;
    table->MovePrevious();
  }
}

// Runs the same changes on the file "t" directly and on the file "u" deferred: every answer
// and every read must agree, "u" must stay untouched until EndDeferred, and then hold exactly
// what "t" holds.
TEST_F(TableFileTest, DeferredChangesGiveWhatDirectChangesGive) {
  constexpr char16_t kDeferredPath[] = u"\\tolvena_db\\u.$tab$";
  const std::string start = Slots(2000, 36);
  SetContents(start);
  ASSERT_TRUE(device_.WriteHostFile(kDeferredPath, start));
  auto direct = OpenTable(env_, 2);
  TableFile deferred(env_, DbString("u"), 2);
  ASSERT_EQ(deferred.OpenStreams(), 1);
  ASSERT_EQ(deferred.BeginDeferred(), 1);
  EXPECT_TRUE(deferred.deferred());

  uint32_t seed = 99;
  auto next = [&](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % bound;
  };
  for (int step = 0; step < 400; ++step) {
    const int64_t rows = direct->RowCount();
    ASSERT_EQ(deferred.RowCount(), rows) << step;
    const int64_t at = 36 * static_cast<int64_t>(next(static_cast<uint32_t>(rows) + 2));
    const DbString row(Slots(1, 36, 5000 + step));
    int expected = 0;
    int got = 0;
    switch (next(5)) {
      case 0:
        expected = direct->InsertAt(at, row);
        got = deferred.InsertAt(at, row);
        break;
      case 1:
        expected = direct->DeleteAt(at, 36);
        got = deferred.DeleteAt(at, 36);
        break;
      case 2:
        expected = direct->WriteAt(at, row);
        got = deferred.WriteAt(at, row);
        break;
      case 3:
        expected = direct->AppendRow(DbString("short"));
        got = deferred.AppendRow(DbString("short"));
        break;
      default: {
        DbString a;
        DbString b;
        expected = direct->ReadAt(at, 72, &a);
        got = deferred.ReadAt(at, 72, &b);
        EXPECT_EQ(a.View(), b.View()) << step;
      }
    }
    ASSERT_EQ(got, expected) << step;
  }
  direct->MoveLast();
  deferred.MoveLast();
  ASSERT_EQ(direct->ReadCurrentRow(), 1);
  ASSERT_EQ(deferred.ReadCurrentRow(), 1);
  EXPECT_EQ(deferred.RowBuffer().View(), direct->RowBuffer().View());

  EXPECT_EQ(device_.ReadHostFile(kDeferredPath), start) << "nothing written before the end";
  EXPECT_EQ(deferred.EndDeferred(), 1);
  EXPECT_FALSE(deferred.deferred());
  EXPECT_EQ(device_.ReadHostFile(kDeferredPath), Contents());
  EXPECT_EQ(deferred.EndDeferred(), 1) << "nothing deferred any more";
}

TEST_F(TableFileTest, ReplaceSlotsGivesWhatRemovingAndInsertingOneByOneGive) {
  uint32_t seed = 7;
  auto next = [&](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % bound;
  };
  const std::string fresh = Slots(3, 36, 9000);
  for (int round = 0; round < 60; ++round) {
    const int rows = static_cast<int>(next(40));
    const std::string before = Slots(rows, 36);
    std::vector<int64_t> removed;
    for (int row = 0; row < rows; ++row) {
      if (next(4) == 0) removed.push_back(row);
    }
    std::vector<SlotInsert> inserts;
    for (uint32_t n = next(4); n > 0; --n) {
      inserts.push_back({next(static_cast<uint32_t>(rows) + 1),
                         std::string_view(fresh).substr(36 * next(3), 36)});
    }
    std::stable_sort(inserts.begin(), inserts.end(), [](const SlotInsert& a, const SlotInsert& b) {
      return a.before_row < b.before_row;
    });
    const std::string expected = ReplacedByHand(before, 36, removed, inserts);
    for (bool deferred : {false, true}) {
      SetContents(before);
      auto table = OpenTable(env_, 2);
      if (deferred) {
        ASSERT_EQ(table->BeginDeferred(), 1);
      }
      ASSERT_EQ(table->ReplaceSlots(removed, inserts), 1) << round;
      EXPECT_EQ(table->RowCount(), static_cast<int64_t>(expected.size() / 36)) << round;
      DbString all;
      if (!expected.empty()) {
        ASSERT_EQ(table->ReadAt(0, static_cast<uint32_t>(expected.size()), &all), 1) << round;
      }
      EXPECT_EQ(std::string(all.View()), expected) << "read back, round " << round;
      table.reset();
      EXPECT_EQ(Contents(), expected) << "on disk, round " << round << " deferred " << deferred;
    }
  }
}

TEST_F(TableFileTest, ReplaceSlotsRefusesArgumentsOutOfOrderOrRange) {
  const std::string before = Slots(5, 36);
  const std::string row = Slots(1, 36, 50);
  struct Case {
    const char* what;
    std::vector<int64_t> removed;
    std::vector<SlotInsert> inserts;
  };
  const Case cases[] = {
      {"removed out of order", {3, 1}, {}},
      {"removed twice", {2, 2}, {}},
      {"removed past the end", {5}, {}},
      {"inserted past the end", {}, {{6, row}}},
      {"inserts out of order", {}, {{3, row}, {1, row}}},
      {"a slot of the wrong size", {}, {{1, std::string_view(row).substr(1)}}},
  };
  for (const Case& c : cases) {
    SetContents(before);
    auto table = OpenTable(env_, 2);
    EXPECT_EQ(table->ReplaceSlots(c.removed, c.inserts), 0) << c.what;
    table.reset();
    EXPECT_EQ(Contents(), before) << c.what;
  }
  const std::string_view slot = row;
  const std::vector<std::string_view> two = {slot, slot};
  const std::vector<std::pair<std::vector<int64_t>, std::vector<std::string_view>>> overwrites = {
      {{3, 1}, two}, {{1, 1}, two}, {{4, 5}, two}, {{1}, two}, {{1}, {slot.substr(1)}}};
  for (const auto& [rows, slots] : overwrites) {
    SetContents(before);
    auto table = OpenTable(env_, 2);
    EXPECT_EQ(table->OverwriteSlots(rows, slots), 0);
    table.reset();
    EXPECT_EQ(Contents(), before);
  }
}

TEST_F(TableFileTest, ClosingWritesWhatIsDeferred) {
  SetContents(Slots(3, 36));
  auto table = OpenTable(env_, 2);
  ASSERT_EQ(table->BeginDeferred(), 1);
  ASSERT_EQ(table->Clear(), 1);
  ASSERT_EQ(table->AppendRow(DbString(Slots(1, 36, 7))), 1);
  EXPECT_EQ(Contents(), Slots(3, 36));
  table->CloseStreams();
  EXPECT_EQ(Contents(), Slots(1, 36, 7));

  table = OpenTable(env_, 2);
  ASSERT_EQ(table->BeginDeferred(), 1);
  ASSERT_EQ(table->AppendRow(DbString(Slots(1, 36, 8))), 1);
  table.reset();
  EXPECT_EQ(Contents(), Slots(1, 36, 7) + Slots(1, 36, 8));
  table = std::make_unique<TableFile>(env_, DbString("t"), 2);
  EXPECT_EQ(table->BeginDeferred(), 0) << "the streams are closed";
}

class TableFileFaultTest : public TableFileTest {
 protected:
  // Runs `change` with the n-th disk change failing, for n = 1, 2, ... until it runs without a
  // failure. Every failed run must answer 0 and leave the file exactly as it was; the run
  // without a failure must answer 1 and give `after`.
  template <typename Change>
  void EveryFailureUndoes(const std::string& before, const std::string& after, Change change,
                          bool short_writes = false) {
    FaultInjectionEnv faulty(&env_);
    for (int n = 1; n < 200; ++n) {
      SetContents(before);
      auto table = OpenTable(faulty, 2);
      faulty.Reset();
      if (short_writes) {
        faulty.ShortWriteNth(n);
      } else {
        faulty.FailNthMutation(n, winerr::kDiskFull);
      }
      const int result = change(*table);
      const bool injected = faulty.InjectedCount() > 0;
      table.reset();
      if (!injected) {
        EXPECT_EQ(result, 1) << "n = " << n;
        EXPECT_EQ(Contents(), after) << "n = " << n;
        return;
      }
      EXPECT_EQ(result, 0) << "n = " << n;
      EXPECT_EQ(Contents(), before) << "n = " << n;
    }
    ADD_FAILURE() << "the change never ran without a failure";
  }
};

TEST_F(TableFileFaultTest, AFailedInsertLeavesTheFileAsItWas) {
  const std::string rows = Slots(5000, 36);
  const std::string row = Slots(1, 36, 777);
  const std::string after = rows.substr(0, 36 * 3) + row + rows.substr(36 * 3);
  auto insert = [&](TableFile& table) { return table.InsertAt(36 * 3, DbString(row)); };
  EveryFailureUndoes(rows, after, insert);
  EveryFailureUndoes(rows, after, insert, /*short_writes=*/true);
}

TEST_F(TableFileFaultTest, AFailedDeleteLeavesTheFileAsItWas) {
  const std::string rows = Slots(5000, 36);
  const std::string after = rows.substr(0, 36 * 3) + rows.substr(36 * 4);
  auto remove = [](TableFile& table) { return table.DeleteAt(36 * 3, 36); };
  EveryFailureUndoes(rows, after, remove);
  EveryFailureUndoes(rows, after, remove, /*short_writes=*/true);
}

TEST_F(TableFileFaultTest, FailedWritesAppendsAndClearsAreAnsweredZero) {
  const std::string rows = Slots(3, 36);
  std::string overwritten = rows;
  overwritten.replace(36, 36, Slots(1, 36, 9));
  EveryFailureUndoes(rows, overwritten,
                     [](TableFile& table) { return table.WriteAt(36, DbString(Slots(1, 36, 9))); });
  EveryFailureUndoes(
      rows, overwritten,
      [](TableFile& table) { return table.WriteAt(36, DbString(Slots(1, 36, 9))); },
      /*short_writes=*/true);
  EveryFailureUndoes(
      rows, rows + Slots(1, 36, 9),
      [](TableFile& table) { return table.AppendRow(DbString(Slots(1, 36, 9))); },
      /*short_writes=*/true);
  EveryFailureUndoes(rows, "", [](TableFile& table) { return table.Clear(); });
}

TEST_F(TableFileFaultTest, AFailedDeferredWriteLeavesTheFileAsItWasBefore) {
  const std::string rows = Slots(3000, 36);
  const std::string row = Slots(1, 36, 777);
  const std::string after =
      rows.substr(0, 36 * 3) + row + rows.substr(36 * 3, 36 * 2000) + rows.substr(36 * 2004);
  auto change = [&](TableFile& table) {
    if (!table.BeginDeferred() || !table.InsertAt(36 * 3, DbString(row)) ||
        !table.DeleteAt(36 * 2004, 36)) {
      return -1;
    }
    return table.EndDeferred();
  };
  EveryFailureUndoes(rows, after, change);
  EveryFailureUndoes(rows, after, change, /*short_writes=*/true);
  // A table of more than one write block: a failure in the second block puts back the first.
  const std::string large = Slots(40000, 36);
  EveryFailureUndoes(large, row + large, [&](TableFile& table) {
    return table.BeginDeferred() && table.InsertAt(0, DbString(row)) ? table.EndDeferred() : -1;
  });
  // Only shorter: the write ends in cutting the file.
  EveryFailureUndoes(rows, rows.substr(36), [](TableFile& table) {
    return table.BeginDeferred() && table.DeleteAt(0, 36) ? table.EndDeferred() : -1;
  });
}

TEST_F(TableFileFaultTest, AFailedReplacementLeavesTheFileAsItWas) {
  const std::string rows = Slots(3000, 36);
  const std::string row = Slots(1, 36, 7777);
  struct Case {
    const char* what;
    std::vector<int64_t> removed;
    std::vector<SlotInsert> inserts;
  };
  const Case cases[] = {
      {"as many rows as before", {10, 2000}, {{1500, row}, {2999, row}}},
      {"more rows", {10}, {{5, row}, {5, row}, {3000, row}}},
      {"fewer rows", {0, 1, 2500}, {{2600, row}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string after = ReplacedByHand(rows, 36, c.removed, c.inserts);
    auto replace = [&](TableFile& table) { return table.ReplaceSlots(c.removed, c.inserts); };
    EveryFailureUndoes(rows, after, replace);
    EveryFailureUndoes(rows, after, replace, /*short_writes=*/true);
  }
  // Slots written in place, far apart.
  const std::vector<int64_t> places = {0, 7, 1500, 2999};
  const std::vector<std::string_view> slots(places.size(), row);
  std::string after = rows;
  for (int64_t place : places) after.replace(static_cast<size_t>(place) * 36, 36, row);
  auto overwrite = [&](TableFile& table) { return table.OverwriteSlots(places, slots); };
  EveryFailureUndoes(rows, after, overwrite);
  EveryFailureUndoes(rows, after, overwrite, /*short_writes=*/true);
}

// When putting the file back fails too, the file is still cut to whole slots, so the table
// opens and every row left in it can be read.
TEST_F(TableFileFaultTest, AFailedUndoStillLeavesWholeSlots) {
  FaultInjectionEnv faulty(&env_);
  for (int n = 1; n <= 4; ++n) {
    for (bool insert : {true, false}) {
      SetContents(Slots(5000, 36));
      auto table = OpenTable(faulty, 2);
      faulty.Reset();
      faulty.ShortWriteNth(n);
      faulty.FailNth(platform::FileOp::kWrite, n + 1, winerr::kWriteFault);
      const int result = insert ? table->InsertAt(36 * 3, DbString(Slots(1, 36, 777)))
                                : table->DeleteAt(36 * 3, 36);
      if (faulty.InjectedCount() == 0) continue;
      EXPECT_EQ(result, 0) << n;
      EXPECT_EQ(Contents().size() % 36, 0u) << n;
      table.reset();
      EXPECT_GE(OpenTable(env_, 2)->RowCount(), 0) << n;
    }
  }
}

TEST_F(TableFileFaultTest, AFailedReadIsAnsweredZero) {
  SetContents(Slots(3, 36));
  FaultInjectionEnv faulty(&env_);
  auto table = OpenTable(faulty, 2);
  faulty.FailNth(platform::FileOp::kRead, 1, winerr::kCrc);
  DbString row;
  EXPECT_EQ(table->ReadAt(0, 36, &row), 0);
  faulty.FailNth(platform::FileOp::kSize, 1, winerr::kCrc);
  table->CloseStreams();
  ASSERT_EQ(table->OpenStreams(), 1);
  EXPECT_EQ(table->RowCount(), -1);
  EXPECT_EQ(table->RowCount(), 3);  // the size is asked again, not remembered as failed
  faulty.FailNth(platform::FileOp::kRead, 1, winerr::kCrc);
  EXPECT_EQ(table->InsertAt(0, DbString(Slots(1, 36))), 0);
  faulty.FailNth(platform::FileOp::kRead, 1, winerr::kCrc);
  EXPECT_EQ(table->DeleteAt(0, 36), 0);
  EXPECT_EQ(Contents(), Slots(3, 36));
  EXPECT_EQ(table->ReadAt(0, 36, &row), 1);
}

}  // namespace
}  // namespace ledgerix
