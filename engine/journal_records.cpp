#include "engine/journal_records.h"

#include <bit>
#include <cstring>

namespace ledgerix {
namespace {

constexpr char kMark[] = "LdxJrnl1";
constexpr size_t kMarkSize = 8;
constexpr size_t kRecordHeadSize = 16;  // four u32 before the name
constexpr size_t kChecksumSize = 8;
// Table names are short; anything longer is not a record of ours.
constexpr uint32_t kMaxNameLength = 1024;

void PutLe(uint64_t value, size_t bytes, std::string* out) {
  for (size_t i = 0; i < bytes; ++i) out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t GetLe(std::string_view bytes, size_t at, size_t count) {
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i) {
    value |= uint64_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  }
  return value;
}

// Eight bytes as a little-endian number.
uint64_t Load64(const char* data) {
  uint64_t word;
  std::memcpy(&word, data, 8);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// A word-at-a-time hash in four independent lanes, fast enough to run over a journal of many
// megabytes; any change, cut or zeroed stretch of the bytes changes it.
uint64_t Fold(uint64_t hash, std::string_view bytes) {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  auto mix = [](uint64_t lane, uint64_t word) {
    lane = (lane ^ word) * kMultiplier;
    return lane ^ (lane >> 29);
  };
  uint64_t lanes[4] = {hash, hash ^ 1, hash ^ 2, hash ^ 3};
  const char* data = bytes.data();
  size_t n = bytes.size();
  for (; n >= 32; data += 32, n -= 32) {
    for (int i = 0; i < 4; ++i) lanes[i] = mix(lanes[i], Load64(data + 8 * i));
  }
  for (; n >= 8; data += 8, n -= 8) lanes[0] = mix(lanes[0], Load64(data));
  uint64_t last = GetLe(std::string_view(data, n), 0, n) ^ (uint64_t{bytes.size()} << 56);
  uint64_t folded = mix(lanes[0], last);
  for (int i = 1; i < 4; ++i) folded = mix(folded, lanes[i]);
  return folded ^ (folded >> 32);
}

uint64_t RecordChecksum(uint64_t salt, std::string_view head, std::string_view bytes) {
  return Fold(Fold(salt, head), bytes);
}

}  // namespace

std::string JournalHeader(uint64_t salt) {
  std::string header(kMark, kMarkSize);
  PutLe(salt, 8, &header);
  return header;
}

JournalFrame FrameJournalRecord(uint64_t salt, std::string_view table, uint32_t size_before,
                                uint32_t offset, std::string_view bytes) {
  JournalFrame frame;
  PutLe(table.size(), 4, &frame.head);
  PutLe(size_before, 4, &frame.head);
  PutLe(offset, 4, &frame.head);
  PutLe(bytes.size(), 4, &frame.head);
  frame.head.append(table);
  frame.bytes = bytes;
  PutLe(RecordChecksum(salt, frame.head, bytes), kChecksumSize, &frame.tail);
  return frame;
}

std::vector<JournalRecord> ParseJournal(std::string_view journal) {
  std::vector<JournalRecord> records;
  if (journal.size() < kJournalHeaderSize || journal.substr(0, kMarkSize) != kMark) {
    return records;
  }
  const uint64_t salt = GetLe(journal, kMarkSize, 8);
  size_t at = kJournalHeaderSize;
  while (journal.size() - at >= kRecordHeadSize) {
    const uint64_t name_length = GetLe(journal, at, 4);
    const uint64_t count = GetLe(journal, at + 12, 4);
    if (name_length == 0 || name_length > kMaxNameLength) break;
    const uint64_t whole = kRecordHeadSize + name_length + count + kChecksumSize;
    if (journal.size() - at < whole) break;
    const std::string_view head = journal.substr(at, kRecordHeadSize + name_length);
    const std::string_view bytes = journal.substr(at + head.size(), count);
    const uint64_t stored = GetLe(journal, at + head.size() + count, kChecksumSize);
    if (stored != RecordChecksum(salt, head, bytes)) break;
    JournalRecord record;
    record.table = head.substr(kRecordHeadSize);
    if (record.table.find('\\') != std::string_view::npos) break;
    record.size_before = static_cast<uint32_t>(GetLe(journal, at + 4, 4));
    record.offset = static_cast<uint32_t>(GetLe(journal, at + 8, 4));
    record.bytes = bytes;
    records.push_back(record);
    at += whole;
  }
  return records;
}

}  // namespace ledgerix
