// Start-up on an object store whose finance database the input damaged: a database with known
// rows is made once, and each input chooses changes to its records, to what the store keeps
// beside them and to the bytes of its file (fuzz/support/store_damage.h). Opening it must
// salvage what cannot be used and hide no row; fuzz/support/startup_open.h says what is checked.
// A store that does not open at all must be kept byte for byte in the copy. With
// LEDGERIX_FUZZ_DEBUG set, the damage an input chooses is printed first.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "finance/finance_schema.h"
#include "finance/older_layout.h"
#include "fuzz/support/finance_rows.h"
#include "fuzz/support/fuzz_check.h"
#include "fuzz/support/fuzz_device.h"
#include "fuzz/support/known_database.h"
#include "fuzz/support/startup_open.h"
#include "fuzz/support/store_damage.h"
#include "platform/object_store.h"

namespace ledgerix::fuzz {
namespace {

constexpr char16_t kCatalogName[] = u"TOLVENA_Ledgerix_1";
constexpr char16_t kStoreCopyName[] = u"\\object store.db";

const std::vector<StoredRecord>* RecordsOf(const StoreDump& dump, const char* table) {
  const auto found = dump.find(std::u16string(FromUtf8(table).Wide()));
  return found == dump.end() ? nullptr : &found->second.records;
}

Tables FinanceRows(const std::optional<StoreDump>& dump) {
  const DbSchema schema = BuildFinanceSchema();
  Tables tables(schema.Count());
  if (!dump) return tables;
  for (uint32_t t = 0; t < schema.Count(); ++t) {
    if (const std::vector<StoredRecord>* records = RecordsOf(*dump, kFinanceTables[t])) {
      tables[t] = ConvertRecords(*records, *schema.At(t));
    }
  }
  return tables;
}

StoredFinanceRows StoredRows(const std::optional<StoreDump>& dump) {
  StoredFinanceRows stored;
  stored.tables = FinanceRows(dump);
  if (!dump) return stored;
  if (const std::vector<StoredRecord>* records = RecordsOf(*dump, kEntriesTable)) {
    const DbSchema older = OlderLayoutSchema(true);
    stored.older_entries = ConvertRecords(*records, *older.Find(DbString(kEntriesTable)));
  }
  stored.catalog_lists_accounts = false;
  const auto catalog = dump->find(kCatalogName);
  if (catalog == dump->end()) return stored;
  for (const StoredRecord& record : catalog->second.records) {
    if (record && !record->empty() &&
        record->front().value ==
            platform::PropertyValue(std::u16string(FromUtf8(kAccountsTable).Wide()))) {
      stored.catalog_lists_accounts = true;
    }
  }
  return stored;
}

void RunObjectStoreDamaged(const uint8_t* data, size_t size) {
  static const Tables defaults = DefaultTables(DriverKind::kObjectStore);
  static const Tables known = MakeKnownDatabase(DriverKind::kObjectStore);
  (void)known;
  FuzzDevice& device = FuzzDevice::Get();
  device.FromTemplate();
  FuzzedDataProvider input(data, size);
  const std::vector<DamageStep> steps = ReadDamage(input);
  if (std::getenv("LEDGERIX_FUZZ_DEBUG") != nullptr) {
    std::fprintf(stderr, "%s", DescribeDamage(steps).c_str());
  }
  ApplyDamage(device, steps);

  // What the damaged store holds, read through the Env that opens the database next.
  const std::string damaged_bytes = device.ReadHostFile(u"\\objects.sqlite");
  platform::ObjectStore* store = device.Reopen().Objects();
  const std::optional<StoreDump> dump =
      store == nullptr ? std::nullopt : std::optional<StoreDump>(DumpStore(*store));
  const OpenReport report = CheckStartupOpen(
      device, DriverKind::kObjectStore, StoredRows(dump), defaults, [&](const DbString& folder) {
        const std::string copy = device.HostPath(std::u16string(folder.Wide()) + kStoreCopyName);
        return FinanceRows(DumpStoreFile(copy, device.ScratchFolder()));
      });
  if (!dump) {
    FUZZ_CHECK(report.damage == DamageFound::kStore,
               "a store that does not open was not found damaged");
    FUZZ_CHECK(device.ReadHostFile(std::u16string(report.copy_folder.Wide()) + kStoreCopyName) ==
                   damaged_bytes,
               "the copy of a store that does not open is not its bytes");
  }
}

}  // namespace
}  // namespace ledgerix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerix::fuzz::RunObjectStoreDamaged(data, size);
  // What the input opened is closed, so that it frees all it allocated.
  ledgerix::fuzz::FuzzDevice::Get().CloseEnv();
  return 0;
}
