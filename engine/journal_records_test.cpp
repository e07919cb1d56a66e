#include "engine/journal_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledgerix {
namespace {

struct Written {
  std::string table;
  uint32_t size_before;
  uint32_t offset;
  std::string bytes;
};

std::string Journal(uint64_t salt, const std::vector<Written>& records) {
  std::string journal = JournalHeader(salt);
  for (const Written& r : records) {
    const JournalFrame frame = FrameJournalRecord(salt, r.table, r.size_before, r.offset, r.bytes);
    journal += frame.head;
    journal += frame.bytes;
    journal += frame.tail;
  }
  return journal;
}

std::vector<Written> Read(std::string_view journal) {
  std::vector<Written> read;
  for (const JournalRecord& r : ParseJournal(journal)) {
    read.push_back({std::string(r.table), r.size_before, r.offset, std::string(r.bytes)});
  }
  return read;
}

bool operator==(const Written& a, const Written& b) {
  return a.table == b.table && a.size_before == b.size_before && a.offset == b.offset &&
         a.bytes == b.bytes;
}

const std::vector<Written> kRecords = {
    {"[sec_data]", 4320, 144, std::string(288, 'a')},
    {"[sec_firms]", 72, 0, ""},  // a table's size alone
    {"[sec_data]", 4320, 0, std::string("\0\x01\xff zero bytes too", 18)},
};

TEST(JournalRecordsTest, RecordsReadBackAsWritten) {
  EXPECT_EQ(Read(Journal(7, kRecords)), kRecords);
  EXPECT_TRUE(Read(Journal(7, {})).empty());
}

// A kill can stop the journal anywhere: every whole record before that point is read, the one
// cut short is not.
TEST(JournalRecordsTest, AJournalCutAnywhereReadsItsWholeRecordsOnly) {
  const std::string journal = Journal(99, kRecords);
  std::vector<size_t> ends;  // where each record ends
  for (size_t i = 1; i <= kRecords.size(); ++i) {
    ends.push_back(
        Journal(99, std::vector<Written>(kRecords.begin(), kRecords.begin() + i)).size());
  }
  for (size_t length = 0; length <= journal.size(); ++length) {
    size_t whole = 0;
    while (whole < ends.size() && ends[whole] <= length) ++whole;
    EXPECT_EQ(Read(journal.substr(0, length)),
              std::vector<Written>(kRecords.begin(), kRecords.begin() + whole))
        << "cut at " << length;
  }
}

TEST(JournalRecordsTest, AChangedByteEndsTheJournalAtItsRecord) {
  const std::string journal = Journal(5, kRecords);
  std::vector<size_t> ends;
  for (size_t i = 1; i <= kRecords.size(); ++i) {
    ends.push_back(Journal(5, std::vector<Written>(kRecords.begin(), kRecords.begin() + i)).size());
  }
  for (size_t at = kJournalHeaderSize; at < journal.size(); ++at) {
    std::string changed = journal;
    changed[at] = static_cast<char>(changed[at] ^ 0x20);
    size_t before = 0;  // records that end before the changed byte
    while (ends[before] <= at) ++before;
    EXPECT_EQ(Read(changed), std::vector<Written>(kRecords.begin(), kRecords.begin() + before))
        << "byte " << at;
  }
}

TEST(JournalRecordsTest, RecordsUnderAnotherSaltOrHeaderAreNotRead) {
  // Records left behind by an earlier transaction, after a new header.
  const std::string old = Journal(1, kRecords);
  std::string reused = JournalHeader(2) + old.substr(kJournalHeaderSize);
  EXPECT_TRUE(Read(reused).empty());
  std::string no_header = old;
  no_header[0] = 'X';
  EXPECT_TRUE(Read(no_header).empty());
  EXPECT_TRUE(Read("").empty());
  EXPECT_TRUE(Read(old.substr(0, kJournalHeaderSize - 1)).empty());
}

TEST(JournalRecordsTest, ANameThatLeavesTheFolderIsNotATable) {
  EXPECT_TRUE(Read(Journal(3, {{"..\\settings", 10, 0, "x"}})).empty());
  EXPECT_TRUE(Read(Journal(3, {{"", 10, 0, "x"}})).empty());
}

}  // namespace
}  // namespace ledgerix
