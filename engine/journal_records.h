#pragma once
// The bytes of the file database's rollback journal (see TableJournal). A journal is a header
// of 16 bytes, the text "LdxJrnl1" and a 64-bit salt, then records one after another:
//
//   u32 name length, u32 size before, u32 offset, u32 byte count,
//   the table's name, the bytes, u64 checksum
//
// (numbers little-endian). A record holds bytes of a table file as they were before the
// transaction changed them, at `offset`, and the size the file had when the transaction first
// changed that table. The checksum covers everything of the record before it and is seeded
// with the salt, so that a record cut short by a kill, or one left over from an earlier
// transaction behind a shorter journal, is never taken for a whole one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledgerix {

inline constexpr size_t kJournalHeaderSize = 16;

// One record as read back; its views point into the journal's bytes.
struct JournalRecord {
  std::string_view table;
  uint32_t size_before = 0;
  uint32_t offset = 0;
  std::string_view bytes;
};

// A record ready to be written: `head` and `tail` go before and after its bytes, which are
// written straight from where they are.
struct JournalFrame {
  std::string head;
  std::string_view bytes;
  std::string tail;
};

// The journal's header with this salt.
std::string JournalHeader(uint64_t salt);

// The record of `bytes` of table `table` (a name without "\"), checksummed under `salt`.
JournalFrame FrameJournalRecord(uint64_t salt, std::string_view table, uint32_t size_before,
                                uint32_t offset, std::string_view bytes);

// The whole records of a journal in order, up to the first that is cut short, names no table,
// or fails its checksum. None when the journal is shorter than its header or the header is not
// one.
std::vector<JournalRecord> ParseJournal(std::string_view journal);

}  // namespace ledgerix
