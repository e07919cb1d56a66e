#pragma once
// FinanceDb: the one object through which the program reaches the finance tables: kinds
// ([sec_consumeritems]), entries ([sec_data]) and accounts ([sec_firms]). It opens (creating,
// seeding or rebuilding) the database, and offers the operations on accounts, kinds and entries
// and the exchange text file. Every operation answers 0 (or null) while the database is not open.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/db_driver.h"
#include "engine/db_record_set.h"
#include "engine/db_string.h"
#include "finance/finance_records.h"
#include "finance/list_control.h"
#include "finance/open_report.h"
#include "platform/clock.h"
#include "platform/env.h"

namespace ledgerix {

class DbConnection;
class FinanceBootstrap;

// The process-wide values the finance operations read. The application owns them and may change
// them while the program runs (the accounts editor changes the current account).
struct FinanceGlobals {
  // The storage: the file database when kFileDatabase, the object store for anything else.
  DriverKind storage_kind = DriverKind::kObjectStore;
  int32_t current_account_id = 0;   // GL_FIRM_ID: the account filter, 0 for every account
  int show_account_in_actions = 0;  // IS_SHOW_FIRM_IN_ACTIONS: entry lists show the account
};

// What storing a day's entries came to (FinanceDb::ReplaceDayEntries).
enum class DaySaveResult {
  kSaved,
  kRowRefused,  // a row cannot be stored (an amount too large, a note too long); nothing stored
  kFailed,      // not open, or the storage failed; nothing changed
};

inline constexpr char kKindsTable[] = "[sec_consumeritems]";
inline constexpr char kEntriesTable[] = "[sec_data]";
inline constexpr char kAccountsTable[] = "[sec_firms]";
inline constexpr char kDatabaseName[] = "TOLVENA_Ledgerix_1";

class FinanceDb {
 public:
  // No connection until Open. env, clock and globals are not owned and must outlive the object.
  FinanceDb(platform::Env& env, const platform::Clock& clock, const FinanceGlobals& globals);
  FinanceDb(const FinanceDb&) = delete;
  FinanceDb& operator=(const FinanceDb&) = delete;
  // Closes the database when it is open.
  virtual ~FinanceDb();

  // --- Bootstrap -------------------------------------------------------------------------------
  // Opens the database with the driver that globals.storage_kind selects, after reading every
  // row of every table: creates and seeds it when nothing is stored; rebuilds one of the older
  // layout through a dated backup in "data"; rebuilds a damaged one (a catalog or a table that
  // does not read whole) from the rows that read, after keeping a copy of it; finishes a rebuild
  // that an earlier start left undone; changes nothing when the storage cannot be written. *report
  // (when given) says what was found and done. 1 when the database is open for use in the current
  // layout with every row readable; 0 otherwise, with the connection closed.
  // With RowCheck::kOnRead the rows are not all read first: for a process that reads what it
  // needs once and reports a row that does not read as a failure (a report on the command line),
  // the first reading is the check. A damaged table then fails that reading instead of being
  // rebuilt; everything else (a damaged catalog, an older layout, an unfinished change) is found
  // and handled as always.
  enum class RowCheck { kAtOpen, kOnRead };
  [[nodiscard]] int Open(const char* database_name, OpenReport* report = nullptr,
                         RowCheck rows = RowCheck::kAtOpen);
  bool IsOpen() const;
  // Closes the connection (nothing happens when none is open); Open opens it again.
  void Close();
  // Empties the three tables together (one transaction); the database stays open. 1, or 0 when
  // not open or when a table could not be emptied, and then none is.
  [[nodiscard]] int DeleteAllData();
  // Writes the default kinds and accounts together (one transaction). 1, or 0 when one of them
  // could not be stored, and then none is.
  [[nodiscard]] int SeedDefaults();
  // The connection (owned; null before Open), for the operations of the reports.
  DbConnection* Connection() const { return connection_.get(); }

  // --- Accounts ([sec_firms]) ------------------------------------------------------------------
  // 1 when stored; 0 when not open or name and note together do not fit (AccountFits).
  [[nodiscard]] int AddAccount(const AccountRecord& account);
  // Writes name, currency and note over the first account of that id. 1 when written; 0 when
  // none has the id, when not open, or when the row does not fit.
  [[nodiscard]] int UpdateAccount(const AccountRecord& account);
  // The first row whose id equals a non-zero `id` or whose name equals a non-empty `name`
  // (both tested on each row in turn) fills *out (which may be null): 1. 0 when none matches.
  [[nodiscard]] int FindAccount(AccountRecord* out, int32_t id, const DbString& name);
  // An open record set over the table on its first row; the caller owns it. Null when not open.
  std::unique_ptr<DbRecordSet> OpenAccounts();
  // `preferred` when no account has that id, otherwise the next id above it that is free (ids
  // are positive: a preferred id below 1 counts as 1). 0 when not open or an account cannot be
  // read, since its id might be taken.
  [[nodiscard]] int32_t FreeAccountId(int32_t preferred);
  // Every account in table order into *out. 1, or 0 when not open or a row cannot be read.
  [[nodiscard]] int LoadAccounts(std::vector<AccountRecord>* out);

  // --- Kinds ([sec_consumeritems]) -------------------------------------------------------------
  // 1 when stored; 0 when not open, when the price cannot be packed (CanPackAmount) or name and
  // category together do not fit (KindFits).
  [[nodiscard]] int AddKind(const KindRecord& kind);
  // Writes name, category, price and type over every kind of that id, as one transaction (or
  // within the one that runs). 1 when every one was written; 0 when none has the id, when not
  // open, or when a row could not be read or written, and then none was changed; 0 without
  // writing for a row that AddKind would refuse.
  [[nodiscard]] int UpdateKind(const KindRecord& kind);
  // Deletes every kind of that id and all their entries in every account, as one transaction:
  // the entries go first, so that no entry is ever left whose kind is gone (it would move every
  // balance yet never show). 1 when neither a kind nor an entry of that id remains; 0 when not
  // open or a row could not be read or deleted, and then nothing was deleted.
  [[nodiscard]] int DeleteKind(int32_t id);
  // As FindAccount among the kinds whose type equals `type` (every kind for type 0).
  [[nodiscard]] int FindKind(KindRecord* out, int32_t id, int32_t type, const DbString& name);
  // As OpenAccounts.
  std::unique_ptr<DbRecordSet> OpenKinds();
  // As FreeAccountId, among the kinds of both types.
  [[nodiscard]] int32_t FreeKindId(int32_t preferred);
  // Every kind in table order into *out. 1, or 0 when not open or a row cannot be read.
  [[nodiscard]] int LoadKinds(std::vector<KindRecord>* out);

  // --- Entries ([sec_data]) --------------------------------------------------------------------
  // 1 when stored; 0 when not open, when an amount cannot be packed, or the row does not fit.
  [[nodiscard]] int AddEntry(const EntryRecord& entry);
  // Deletes the matching entries (in the current account when one is set), as one transaction
  // (or within the one that runs). 1 when every matching entry is deleted, also when none
  // matched; 0 when not open or a row could not be read or deleted, and then nothing was.
  [[nodiscard]] int DeleteEntries(const EntryFilter& filter);
  // Stores the rows of one day's list in place of the stored entries of that day and
  // direction (filter date and type, in the current account when one is set), all or nothing.
  // Every row is checked before anything is written: kRowRefused names the first that cannot
  // be stored (*refused_row, when given, is its index) and nothing is changed. kFailed when
  // not open or the storage failed; nothing is changed then either.
  [[nodiscard]] DaySaveResult ReplaceDayEntries(const EntryFilter& day,
                                                const std::vector<EntryRecord>& rows,
                                                size_t* refused_row);
  // Fills `list` with the day's entries of one direction. True when every entry, kind and
  // account needed was read; false when not open, without a list, or when a row could not be
  // read, and then the list holds the entries read before it (nothing when the kinds or the
  // entries table cannot be opened).
  [[nodiscard]] bool ListEntriesForDay(const EntryFilter& filter, ListControl* list);
  // The stored entries that ListEntriesForDay selects (filter date and direction, the filter's
  // account when not 0), whole (every digit of the type, note, currency; mark set from the
  // "[+]" digit), in table order, whether or not their kind exists. True when every row was
  // read; false when not open or a row could not be read, and then *out is empty.
  [[nodiscard]] bool LoadDayEntries(const EntryFilter& filter, std::vector<EntryRecord>* out);

  // --- Exchange text file ----------------------------------------------------------------------
  // Writes the three tables to `path` (a device path) through a temporary file renamed over it,
  // so that a failed write leaves an older file of that name whole. 1 when written; 0 when not
  // open, when a table cannot be read whole, or when the file cannot be written.
  [[nodiscard]] int WriteExchangeFile(const DbString& path);
  // The name line and data lines of one table; empty when it cannot be opened or read whole.
  DbString WriteTableSection(const char* table_name);
  // Loads the sections of the file, each replacing its table (sections of unknown tables are
  // skipped), all or nothing: the whole load is one transaction, committed only when every
  // finance table of the file was emptied and every row of it stored, so that a failure, or the
  // program killed on the way, leaves every table as it was. 1 when the file was loaded whole;
  // 0 when not open, the file cannot be read, or anything of it could not be stored.
  [[nodiscard]] int ReadExchangeFile(const DbString& path);
  // Restores an archive: the same as ReadExchangeFile.
  [[nodiscard]] int RestoreExchangeFile(const DbString& path);

 private:
  // A record set open on a table of the open database, or null.
  std::unique_ptr<DbRecordSet> OpenTable(const char* table_name);
  // Deletes the matching entries in the account (every account for 0) within the transaction
  // that runs; false when a row could not be read or deleted.
  [[nodiscard]] bool DeleteMatchingEntries(const EntryFilter& filter, int32_t account_id);
  // Adds an entry that EntryCanBeStored accepted; false when it could not be stored.
  [[nodiscard]] bool StoreEntry(const EntryRecord& entry);
  [[nodiscard]] int AppendTableSection(const char* table_name, std::string* out);
  // The sections of the three tables; 0 when one cannot be read whole.
  [[nodiscard]] int BuildExchangeText(std::string* out);
  // Loads exchange text as ReadExchangeFile does, in one transaction.
  [[nodiscard]] int LoadExchangeText(const DbString& text);

  // Opening the database (bootstrap.cpp) works on the connection and loads exchange text.
  friend class FinanceBootstrap;
  DriverKind StorageKind() const;
  void CloseConnection();

  platform::Env& env_;
  const platform::Clock& clock_;
  const FinanceGlobals& globals_;
  std::unique_ptr<DbConnection> connection_;
};

}  // namespace ledgerix
