// Start-up on a file database made of the input: the catalog file and the three table files of
// the finance database, in that order, separated by the line "@@@" (a part that is just "!"
// stands for a missing file, as do the parts the input does not reach). Opening it must salvage
// what cannot be used and hide no row; fuzz/support/startup_open.h says what is checked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog_file.h"
#include "finance/finance_schema.h"
#include "finance/older_layout.h"
#include "fuzz/support/finance_rows.h"
#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/fuzz_device.h"
#include "fuzz/support/known_database.h"
#include "fuzz/support/startup_open.h"

namespace ledgerix::fuzz {
namespace {

constexpr std::string_view kSeparator = "@@@\n";
constexpr std::string_view kMissing = "!";

// The catalog, then the table files in the order of the finance layout.
std::vector<std::u16string> FilePaths() {
  std::vector<std::u16string> paths = {u"\\tolvena_db\\TOLVENA_Ledgerix_1.$db$"};
  for (const char* table : kFinanceTables) {
    paths.push_back(u"\\tolvena_db\\" + std::u16string(FromUtf8(table).Wide()) + u".$tab$");
  }
  return paths;
}

// Up to `count` parts; the last one takes the rest of the input.
std::vector<std::string_view> SplitParts(std::string_view input, size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const size_t end = input.find(kSeparator);
    if (end == std::string_view::npos) break;
    parts.push_back(input.substr(0, end));
    input.remove_prefix(end + kSeparator.size());
  }
  parts.push_back(input);
  return parts;
}

Tables DecodeTables(const std::vector<std::string_view>& files) {
  const DbSchema schema = BuildFinanceSchema();
  Tables tables;
  for (uint32_t t = 0; t < schema.Count(); ++t) {
    tables.push_back(DecodeTableFile(files[t], *schema.At(t)).rows);
  }
  return tables;
}

Tables RowsInCopy(FuzzDevice& device, const DbString& folder) {
  std::vector<std::string> files;
  for (const char* table : kFinanceTables) {
    files.push_back(device.ReadHostFile(std::u16string(folder.Wide()) + u"\\" +
                                        std::u16string(FromUtf8(table).Wide()) + u".$tab$"));
  }
  return DecodeTables({files.begin(), files.end()});
}

void RunFileDatabaseOpen(std::string_view input) {
  static const Tables defaults = DefaultTables(DriverKind::kFileDatabase);
  FuzzDevice& device = FuzzDevice::Get();
  device.Fresh();
  const std::vector<std::u16string> paths = FilePaths();
  const std::vector<std::string_view> parts = SplitParts(input, paths.size());
  std::vector<std::string_view> contents(paths.size());
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i] == kMissing) continue;
    contents[i] = parts[i];
    FUZZ_CHECK(device.WriteHostFile(paths[i], parts[i]), "cannot write a file of the input");
  }

  StoredFinanceRows stored;
  stored.tables = DecodeTables({contents.begin() + 1, contents.end()});
  const DbSchema older = OlderLayoutSchema(true);
  stored.older_entries = DecodeTableFile(contents[2], *older.Find(DbString(kEntriesTable))).rows;
  DbSchema catalog;
  stored.catalog_lists_accounts = DecodeWholeCatalog(contents[0], &catalog) &&
                                  catalog.Find(DbString(kAccountsTable)) != nullptr;
  CheckStartupOpen(device, DriverKind::kFileDatabase, stored, defaults,
                   [&](const DbString& folder) { return RowsInCopy(device, folder); });
}

}  // namespace
}  // namespace ledgerix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerix::fuzz::RunFileDatabaseOpen(std::string_view(reinterpret_cast<const char*>(data), size));
  // What the input opened is closed, so that it frees all it allocated.
  ledgerix::fuzz::FuzzDevice::Get().CloseEnv();
  return 0;
}
