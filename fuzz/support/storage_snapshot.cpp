#include "fuzz/support/storage_snapshot.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>

#include "engine/db_string.h"
#include "finance/finance_schema.h"
#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/row_order.h"
#include "platform/object_store.h"

namespace ledgerix::fuzz {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Narrow(const std::u16string& name) {
  std::string text;
  for (char16_t c : name) text += c < 0x80 ? static_cast<char>(c) : '?';
  return text;
}

// Where two byte strings first differ, with 16 bytes of each from there in hex.
std::string FirstDifference(const std::string& before, const std::string& after) {
  size_t at = 0;
  while (at < before.size() && at < after.size() && before[at] == after[at]) ++at;
  auto hex = [&](const std::string& bytes) {
    std::string text;
    char digits[4];
    for (size_t i = at; i < bytes.size() && i < at + 16; ++i) {
      std::snprintf(digits, sizeof digits, " %02x", static_cast<unsigned char>(bytes[i]));
      text += digits;
    }
    return text;
  };
  return ", first at byte " + std::to_string(at) + ":" + hex(before) + " ->" + hex(after);
}

// The slots of a finance table file, keyed by their first value (a whole number, the first four
// bytes); nullopt for a file that is not a finance table or not a whole number of slots.
std::optional<KeyedRows> TableSlots(const std::string& file_name, const std::string& bytes) {
  const DbSchema schema = BuildFinanceSchema();
  for (uint32_t t = 0; t < schema.Count(); ++t) {
    if (file_name != std::string(schema.At(t)->name.View()) + ".$tab$") continue;
    const size_t slot = 18 * schema.At(t)->columns.size();
    if (bytes.size() % slot != 0) return std::nullopt;
    KeyedRows slots;
    for (size_t at = 0; at < bytes.size(); at += slot) {
      slots.emplace_back(bytes.substr(at, 4), bytes.substr(at, slot));
    }
    return slots;
  }
  return std::nullopt;
}

bool SameFile(const std::string& name, const std::string& before, const std::string& after) {
  if (before == after) return true;
  const std::optional<KeyedRows> before_slots = TableSlots(name, before);
  const std::optional<KeyedRows> after_slots = TableSlots(name, after);
  return before_slots && after_slots && SameUpToEqualKeys(*before_slots, *after_slots);
}

}  // namespace

bool SameStorage(const StorageSnapshot& before, const StorageSnapshot& after) {
  if (before.store != after.store || before.files.size() != after.files.size()) return false;
  for (const auto& [name, bytes] : before.files) {
    const auto found = after.files.find(name);
    if (found == after.files.end() || !SameFile(name, bytes, found->second)) return false;
  }
  return true;
}

StorageSnapshot TakeSnapshot(DriverKind kind, FuzzDevice& device) {
  StorageSnapshot snapshot;
  if (kind == DriverKind::kFileDatabase) {
    std::error_code error;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(device.HostPath(u"\\tolvena_db"), error)) {
      const std::string name = entry.path().filename().string();
      std::string bytes = ReadFile(entry.path());
      // The rollback journal stays after its first change, emptied; empty it puts nothing back
      // and is the same storage as no journal at all.
      if (bytes.empty() && name.ends_with(".$jnl$")) continue;
      snapshot.files[name] = std::move(bytes);
    }
    return snapshot;
  }
  platform::ObjectStore* store = device.env().Objects();
  FUZZ_CHECK(store != nullptr, "the object store does not open");
  snapshot.store = DumpStore(*store);
  return snapshot;
}

std::string DescribeDifference(const StorageSnapshot& before, const StorageSnapshot& after) {
  std::string text;
  for (const auto& [name, bytes] : before.files) {
    const auto found = after.files.find(name);
    if (found == after.files.end()) {
      text += "file gone: " + name + "\n";
    } else if (found->second != bytes) {
      text += "file changed: " + name + " (" + std::to_string(bytes.size()) + " -> " +
              std::to_string(found->second.size()) + " bytes)" +
              FirstDifference(bytes, found->second) + "\n";
    }
  }
  for (const auto& [name, bytes] : after.files) {
    if (before.files.count(name) == 0) text += "file added: " + name + "\n";
  }
  for (const auto& [name, database] : before.store) {
    const auto found = after.store.find(name);
    if (found == after.store.end()) {
      text += "database gone: " + Narrow(name) + "\n";
    } else if (!(found->second == database)) {
      text += "database changed: " + Narrow(name) + " (" + std::to_string(database.records.size()) +
              " -> " + std::to_string(found->second.records.size()) + " records, count " +
              std::to_string(database.record_count) + " -> " +
              std::to_string(found->second.record_count) + ")\n";
    }
  }
  for (const auto& [name, database] : after.store) {
    if (before.store.count(name) == 0) text += "database added: " + Narrow(name) + "\n";
  }
  return text;
}

}  // namespace ledgerix::fuzz
