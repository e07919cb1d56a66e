#include "fuzz/support/exchange_load.h"

#include <set>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/fuzz_device.h"
#include "fuzz/support/fuzz_stats.h"
#include "fuzz/support/known_database.h"
#include "fuzz/support/row_order.h"
#include "fuzz/support/storage_snapshot.h"

namespace ledgerix::fuzz {
namespace {

constexpr char16_t kInputPath[] = u"\\data\\input.txt";
constexpr char kFirstWrite[] = "\\data\\first.txt";
constexpr char kSecondWrite[] = "\\data\\second.txt";

std::string TableName(size_t i) { return kFinanceTables[i]; }

// The names of the sections of an exchange text: "[" starts a name, which takes every byte but
// ";", CR and LF up to "]" (bytes after a "]" belong to values until the next "["). A name is
// used up to a 0 byte in it.
std::set<std::string> SectionNames(std::string_view text) {
  std::set<std::string> names;
  std::string name;
  bool inside_section = false;
  for (char byte : text) {
    if (byte == '[') {
      name = "[";
      inside_section = false;
    } else if (byte == ']') {
      name += ']';
      names.insert(name.substr(0, name.find('\0')));
      inside_section = true;
    } else if (byte != ';' && byte != '\r' && byte != '\n' && !inside_section) {
      name += byte;
    }
  }
  return names;
}

// True when the texts are the same, for the file database up to the order of rows with equal
// first values (row_order.h).
bool SameText(DriverKind kind, const std::string& a, const std::string& b) {
  if (kind != DriverKind::kFileDatabase) return a == b;
  auto lines = [](const std::string& text) {
    KeyedRows keyed;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      keyed.emplace_back(line.substr(0, line.find(';')), line);
      start = end + 2;
    }
    return keyed;
  };
  return SameUpToEqualKeys(lines(a), lines(b));
}

}  // namespace

void RunExchangeLoad(DriverKind kind, const uint8_t* data, size_t size) {
  static const Tables known = MakeKnownDatabase(kind);
  FuzzDevice& device = FuzzDevice::Get();
  FinanceSetup setup(kind);
  FinanceDb db(device.FromTemplate(), setup.clock, setup.globals);
  OpenReport report;
  FUZZ_CHECK(db.Open(kDatabaseName, &report) == 1 && report.outcome == OpenOutcome::kOpened,
             "the database with known rows does not open");
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(device.WriteHostFile(kInputPath, input), "cannot write the input");

  const StorageSnapshot before = TakeSnapshot(kind, device);
  if (!db.RestoreExchangeFile(FromUtf8("\\data\\input.txt"))) {
    CountStat("restore refused");
    const StorageSnapshot after = TakeSnapshot(kind, device);
    FUZZ_CHECK(SameStorage(before, after),
               "a failed restore changed the storage:\n" + DescribeDifference(before, after));
    FUZZ_CHECK(SameTables(kind, ReadTables(db), known), "a failed restore changed the tables");
    return;
  }

  CountStat("restored");
  const Tables loaded = ReadTables(db);
  const std::set<std::string> sections = SectionNames(input);
  for (size_t i = 0; i < kFinanceTables.size(); ++i) {
    // A table without a section in the file keeps its rows.
    if (sections.count(TableName(i)) == 0) {
      FUZZ_CHECK(loaded[i] == known[i], "a restore changed " + TableName(i) +
                                            ", which has no section in the file:\n" +
                                            Describe(Missing(known[i], loaded[i])));
    }
  }

  FUZZ_CHECK(db.WriteExchangeFile(DbString(kFirstWrite)), "the restored tables cannot be written");
  const StorageSnapshot restored = TakeSnapshot(kind, device);
  FUZZ_CHECK(db.RestoreExchangeFile(DbString(kFirstWrite)),
             "the exchange file written of a restored database does not restore");
  const StorageSnapshot again = TakeSnapshot(kind, device);
  FUZZ_CHECK(SameStorage(restored, again), "restoring the written file changed the storage:\n" +
                                               DescribeDifference(restored, again));
  FUZZ_CHECK(SameTables(kind, ReadTables(db), loaded),
             "restoring the written file changed the tables");
  FUZZ_CHECK(db.WriteExchangeFile(DbString(kSecondWrite)), "the tables cannot be written again");
  FUZZ_CHECK(SameText(kind, device.ReadHostFile(u"\\data\\first.txt"),
                      device.ReadHostFile(u"\\data\\second.txt")),
             "writing, restoring and writing again gave another text");
}

}  // namespace ledgerix::fuzz
