// Opening the finance database: a normal start after every row was read, creating and seeding a
// missing database, rebuilding one of the older layout through a dated backup, rebuilding a
// damaged one from the rows that read after keeping a copy of it, and finishing a rebuild that
// an earlier start left undone. What differs between the storage kinds is behind StoredDatabase.
#include <algorithm>
#include <string>

#include "access/db_connection.h"
#include "engine/atomic_file.h"
#include "finance/backup_names.h"
#include "finance/damaged_copy.h"
#include "finance/file_contents.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/older_layout.h"
#include "finance/rebuild_marker.h"
#include "finance/rebuild_text.h"
#include "finance/row_limits.h"
#include "finance/stored_database.h"

namespace ledgerix {
namespace {

// The file in the copy of a damaged database that holds the rows read from it.
constexpr char kRecoveredRowsName[] = "\\recovered rows.txt";

// True when a scan found anything stored in the table: rows, unreadable bytes, or a table that
// could not be read at all.
bool HoldsSomething(const TableScan& scan) {
  return !scan.sound || (scan.present && (scan.rows > 0 || scan.unreadable > 0));
}

// The folder of a device path: everything before its last "\".
DbString FolderOf(const DbString& path) {
  const size_t slash = path.View().rfind('\\');
  return DbString(path.View().substr(0, slash == std::string_view::npos ? 0 : slash));
}

uint32_t CountOf(const RowCounts& counts, const DbString& table) {
  const auto found = counts.find(table.View());
  return found == counts.end() ? 0 : found->second;
}

// A failure the Env did not see (the object store's own writes): named by the step.
platform::FailureDetail StepFailure(const platform::Env& env, const char* step) {
  platform::FailureDetail detail = env.LastFailure();
  if (detail.error == platform::winerr::kSuccess) {
    detail.call = step;
    detail.error = platform::winerr::kWriteFault;
  }
  return detail;
}

}  // namespace

// One opening of the database: decides from what is stored, and reports what it did.
class FinanceBootstrap {
 public:
  FinanceBootstrap(FinanceDb& db, const DbString& name, FinanceDb::RowCheck rows)
      : db_(db),
        rows_(rows),
        env_(db.env_),
        name_(name),
        kind_(db.StorageKind()),
        storage_(StoredDatabase::ForKind(kind_, env_)),
        schema_(BuildFinanceSchema()) {}

  OpenReport Run();

 private:
  OpenReport OpenCurrent();
  OpenReport CreateAndSeed();
  OpenReport ConvertOlderLayout(const DbSchema& catalog);
  OpenReport Salvage(DamageFound damage);
  OpenReport Resume(const RebuildMarker& marker);

  // True when some finance table holds anything, read by the current layout.
  bool AnythingStored();
  // Deletes the database and creates it empty and open.
  bool Recreate(platform::FailureDetail* failure);
  // Recreates the database and loads `text` into it (the defaults when it holds no row), checks
  // that every table holds exactly the text's rows, then removes the rebuild mark. When a copy
  // of the damaged database was kept and the load fails, the storage is emptied whole and the
  // load tried once more.
  bool RebuildFromText(const std::string& text, platform::FailureDetail* failure);
  // One attempt of RebuildFromText.
  bool LoadRebuildText(const std::string& text, platform::FailureDetail* failure);
  // Per finance table, the rows of `text` and the rows left out.
  void ReportTables(const std::string& text, const RowCounts& left_out);
  bool ConnectionReady();

  OpenReport Done(OpenOutcome outcome) {
    report_.outcome = outcome;
    return report_;
  }
  OpenReport Stop(OpenOutcome outcome, const platform::FailureDetail& failure) {
    db_.connection_->Close();
    report_.outcome = outcome;
    report_.failure = failure;
    return report_;
  }

  FinanceDb& db_;
  const FinanceDb::RowCheck rows_;
  platform::Env& env_;
  const DbString name_;
  const DriverKind kind_;
  const std::unique_ptr<StoredDatabase> storage_;
  const DbSchema schema_;
  OpenReport report_;
};

OpenReport FinanceBootstrap::Run() {
  switch (storage_->CheckAccess(name_)) {
    case StorageAccess::kReadOnly:
      return Stop(OpenOutcome::kReadOnly, storage_->failure());
    case StorageAccess::kUnusable:
      return Stop(OpenOutcome::kFailed, storage_->failure());
    case StorageAccess::kWritable:
      break;
  }
  // A change killed part-way has left its tables between the old rows and the new; read before
  // it is put back, they would look damaged and be rebuilt from the rows of neither.
  if (!storage_->PutBackUnfinishedChange(name_)) {
    return Stop(OpenOutcome::kFailed, storage_->failure());
  }
  RebuildMarker marker;
  platform::FailureDetail failure;
  switch (ReadRebuildMarker(env_, name_, kind_, &marker, &failure)) {
    case MarkerState::kFound:
      return Resume(marker);
    case MarkerState::kUnreadable:
      return Stop(OpenOutcome::kFailed, failure);
    case MarkerState::kNone:
      break;
  }
  DbSchema catalog;
  switch (storage_->ReadCatalog(name_, &catalog)) {
    case StoredCatalog::kUnreadable:
      return Stop(OpenOutcome::kFailed, storage_->failure());
    case StoredCatalog::kStoreDamaged:
      return Salvage(DamageFound::kStore);
    case StoredCatalog::kAbsent:
      return AnythingStored() ? Salvage(DamageFound::kCatalogMissing) : CreateAndSeed();
    case StoredCatalog::kDamaged:
      return Salvage(DamageFound::kCatalogDamaged);
    case StoredCatalog::kWhole:
      break;
  }
  switch (ClassifyLayout(catalog)) {
    case StoredLayout::kCurrent:
      return OpenCurrent();
    case StoredLayout::kOlder:
      return ConvertOlderLayout(catalog);
    case StoredLayout::kUnknown:
      break;
  }
  return Salvage(DamageFound::kCatalogDamaged);
}

OpenReport FinanceBootstrap::OpenCurrent() {
  // Every row of every table is read before the database is used: a table whose rows do not
  // all read would otherwise show as smaller, or empty, and take new rows it cannot give back.
  // A caller that reads once and fails on a row that does not read checks as it reads.
  for (uint32_t i = 0; rows_ == FinanceDb::RowCheck::kAtOpen && i < schema_.Count(); ++i) {
    if (!storage_->ScanRows(*schema_.At(i), nullptr).Whole()) {
      return Salvage(DamageFound::kTables);
    }
  }
  if (!db_.connection_->Open(name_, "", "") || !ConnectionReady()) {
    return Stop(OpenOutcome::kFailed, StepFailure(env_, "Open"));
  }
  return Done(OpenOutcome::kOpened);
}

OpenReport FinanceBootstrap::CreateAndSeed() {
  // Asked before anything is made: what a failed create leaves behind is not other data.
  const bool other_data = storage_->HoldsOtherData();
  platform::FailureDetail failure;
  if (Recreate(&failure)) {
    if (db_.SeedDefaults() && ConnectionReady()) return Done(OpenOutcome::kCreated);
    failure = StepFailure(env_, "SeedDefaults");
  }
  // Nothing of the database is stored, yet the storage will not take it: it is damaged where
  // reading never looks. The object store's file is kept as a copy (it may hold other data,
  // or rows that no longer read) and started afresh, as for any damaged storage; so is a file
  // database's folder when it holds other data.
  if (other_data || kind_ == DriverKind::kObjectStore) {
    return Salvage(DamageFound::kStoreRefuses);
  }
  return Stop(OpenOutcome::kFailed, failure);
}

OpenReport FinanceBootstrap::ConvertOlderLayout(const DbSchema& catalog) {
  // The backup holds every row that reads and that the exchange file can carry, in the older
  // layout, as the exchange file writes it.
  // Sections in the order of the current layout; the accounts section stays empty when the
  // layout had no accounts.
  RebuildText backup;
  RowCounts lost;
  bool whole = true;
  for (uint32_t i = 0; i < schema_.Count(); ++i) {
    if (i > 0) backup.EndSection();
    const DbTableSchema* table = catalog.Find(schema_.At(i)->name);
    if (table == nullptr) continue;
    backup.BeginSection(table->name);
    uint32_t unfit = 0;
    const TableScan scan = storage_->ScanRows(*table, [&](const std::vector<DbValue>& row) {
      std::vector<DbString> values = ExchangeValuesOf(row);
      // A text holding what the exchange file reserves would break the backup's lines and run
      // into the rows after it: such a row stays in the copy, as one that does not read.
      if (!std::all_of(values.begin(), values.end(), TextFitsExchange)) {
        ++unfit;
        return;
      }
      backup.AddRow(values);
    });
    whole = whole && scan.Whole() && unfit == 0;
    lost[std::string(table->name.View())] = scan.unreadable + unfit;
  }
  platform::FailureDetail failure;
  if (!whole) {
    // Rows that do not read stay in the copy.
    report_.damage = DamageFound::kTables;
    if (!KeepDamagedCopy(*storage_, env_, db_.clock_, name_, &report_.copy_folder, &failure)) {
      return Stop(OpenOutcome::kDamaged, failure);
    }
  }
  // Nothing is deleted before the whole backup, and the mark naming it, are on disk.
  const DbString backup_path = OlderLayoutBackupPath(env_, db_.clock_);
  if (!EnsureDataFolder(env_) ||
      !ReplaceFileContent(env_, backup_path, DbString(std::string_view(backup.text())))) {
    return Stop(OpenOutcome::kFailed, env_.LastFailure());
  }
  report_.backup = backup_path;
  if (!WriteRebuildMarker(env_, name_, kind_, {RebuildSource::kOlderLayout, backup_path})) {
    return Stop(OpenOutcome::kFailed, env_.LastFailure());
  }
  RowCounts left_out;
  const std::string converted = ConvertOlderLayoutText(backup.text(), &left_out);
  if (!RebuildFromText(converted, &failure)) return Stop(OpenOutcome::kFailed, failure);
  for (const auto& [table, count] : left_out) lost[table] += count;
  ReportTables(converted, lost);
  return Done(OpenOutcome::kConverted);
}

OpenReport FinanceBootstrap::Salvage(DamageFound damage) {
  report_.damage = damage;
  // The layout is known: every table is read by it, whatever the catalog says.
  RebuildText recovered;
  for (uint32_t i = 0; i < schema_.Count(); ++i) {
    const DbTableSchema& table = *schema_.At(i);
    if (i > 0) recovered.EndSection();
    recovered.BeginSection(table.name);
    TableRecovery recovery;
    recovery.table = table.name;
    const TableScan scan = storage_->ScanRows(table, [&](const std::vector<DbValue>& row) {
      std::vector<DbString> values = ExchangeValuesOf(row);
      if (!RowFitsTable(table, values)) {
        ++recovery.lost;
        return;
      }
      recovered.AddRow(values);
      ++recovery.recovered;
    });
    recovery.lost += scan.unreadable;
    recovery.missing = !scan.present;
    report_.tables.push_back(recovery);
  }
  platform::FailureDetail failure;
  DbString folder;
  if (!KeepDamagedCopy(*storage_, env_, db_.clock_, name_, &folder, &failure)) {
    return Stop(OpenOutcome::kDamaged, failure);
  }
  DbString text_path(folder);
  text_path.Append(kRecoveredRowsName);
  if (!ReplaceFileContent(env_, text_path, DbString(std::string_view(recovered.text())))) {
    failure = env_.LastFailure();
    // Already failing: a copy left behind is only a folder of the user's own rows too many.
    static_cast<void>(RemoveFolderWithFiles(env_, folder));
    return Stop(OpenOutcome::kDamaged, failure);
  }
  report_.copy_folder = folder;
  if (!WriteRebuildMarker(env_, name_, kind_, {RebuildSource::kRecoveredRows, text_path})) {
    return Stop(OpenOutcome::kFailed, env_.LastFailure());
  }
  if (!RebuildFromText(recovered.text(), &failure)) return Stop(OpenOutcome::kFailed, failure);
  return Done(OpenOutcome::kSalvaged);
}

OpenReport FinanceBootstrap::Resume(const RebuildMarker& marker) {
  report_.resumed = true;
  DbString content;
  if (!ReadWholeFile(env_, marker.text_path, &content)) {
    return Stop(OpenOutcome::kFailed, env_.LastFailure());
  }
  RowCounts left_out;
  std::string text;
  OpenOutcome outcome = OpenOutcome::kSalvaged;
  if (marker.source == RebuildSource::kOlderLayout) {
    report_.backup = marker.text_path;
    text = ConvertOlderLayoutText(content.View(), &left_out);
    outcome = OpenOutcome::kConverted;
  } else {
    report_.copy_folder = FolderOf(marker.text_path);
    text = std::string(content.View());
  }
  platform::FailureDetail failure;
  if (!RebuildFromText(text, &failure)) return Stop(OpenOutcome::kFailed, failure);
  ReportTables(text, left_out);
  return Done(outcome);
}

bool FinanceBootstrap::AnythingStored() {
  for (uint32_t i = 0; i < schema_.Count(); ++i) {
    if (HoldsSomething(storage_->ScanRows(*schema_.At(i), nullptr))) {
      return true;
    }
  }
  return false;
}

bool FinanceBootstrap::Recreate(platform::FailureDetail* failure) {
  DbConnection& connection = *db_.connection_;
  connection.Close();
  // A copy of a damaged database is whole when its folder is named.
  if (!storage_->Delete(name_, schema_, /*copy_kept=*/report_.copy_folder.Length() > 0)) {
    *failure = storage_->failure();
    return false;
  }
  if (!connection.CreateDatabase(name_, schema_) || !connection.Open(name_, "", "")) {
    *failure = StepFailure(env_, "CreateDatabase");
    connection.Close();
    return false;
  }
  return true;
}

bool FinanceBootstrap::RebuildFromText(const std::string& text, platform::FailureDetail* failure) {
  if (LoadRebuildText(text, failure)) return true;
  // Damage where reading never looks (an index page of the store) can take the delete and
  // refuse the new rows. When a copy of everything was kept, the storage is emptied whole and
  // the rows are loaded once more.
  if (report_.copy_folder.Length() == 0) return false;
  db_.connection_->Close();
  if (!storage_->StartAfresh()) return false;
  return LoadRebuildText(text, failure);
}

bool FinanceBootstrap::LoadRebuildText(const std::string& text, platform::FailureDetail* failure) {
  const RowCounts expected = CountExchangeRows(text);
  uint32_t rows = 0;
  for (const auto& [table, count] : expected) rows += count;
  if (!Recreate(failure)) return false;
  if (!db_.LoadExchangeText(DbString(std::string_view(text)))) {
    *failure = StepFailure(env_, "LoadExchangeText");
    return false;
  }
  // Nothing came back at all: a database without kinds or accounts could not be used.
  if (rows == 0 && !db_.SeedDefaults()) {
    *failure = StepFailure(env_, "SeedDefaults");
    return false;
  }
  // What was stored is read back before the text stops being needed.
  for (uint32_t i = 0; i < schema_.Count(); ++i) {
    const DbTableSchema& table = *schema_.At(i);
    const TableScan scan = storage_->ScanRows(table, nullptr);
    if (!scan.Whole() || (rows > 0 && scan.rows != CountOf(expected, table.name))) {
      *failure = StepFailure(env_, "LoadExchangeText");
      return false;
    }
  }
  if (!RemoveRebuildMarker(env_, name_, kind_) || !ConnectionReady()) {
    *failure = env_.LastFailure();
    return false;
  }
  return true;
}

void FinanceBootstrap::ReportTables(const std::string& text, const RowCounts& left_out) {
  const RowCounts loaded = CountExchangeRows(text);
  report_.tables.clear();
  for (uint32_t i = 0; i < schema_.Count(); ++i) {
    TableRecovery recovery;
    recovery.table = schema_.At(i)->name;
    recovery.recovered = CountOf(loaded, recovery.table);
    recovery.lost = CountOf(left_out, recovery.table);
    report_.tables.push_back(recovery);
  }
}

bool FinanceBootstrap::ConnectionReady() {
  for (uint32_t i = 0; i < schema_.Count(); ++i) {
    if (db_.OpenTable(schema_.At(i)->name.CStr()) == nullptr) return false;
  }
  return true;
}

DriverKind FinanceDb::StorageKind() const {
  return globals_.storage_kind == DriverKind::kFileDatabase ? DriverKind::kFileDatabase
                                                            : DriverKind::kObjectStore;
}

void FinanceDb::CloseConnection() {
  if (connection_ != nullptr && connection_->IsOpen()) connection_->Close();
  connection_.reset();
}

int FinanceDb::Open(const char* database_name, OpenReport* report, RowCheck rows) {
  CloseConnection();
  connection_ = std::make_unique<DbConnection>(env_, StorageKind());
  OpenReport result = FinanceBootstrap(*this, DbString(database_name), rows).Run();
  const bool opened = result.Opened() && IsOpen();
  if (!opened) connection_->Close();
  if (report != nullptr) *report = std::move(result);
  return opened ? 1 : 0;
}

}  // namespace ledgerix
