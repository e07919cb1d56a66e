// The operations on income and expense kinds ([sec_consumeritems]).
#include <set>

#include "access/db_connection.h"
#include "access/db_transaction.h"
#include "finance/finance_db.h"
#include "finance/finance_schema.h"
#include "finance/free_id.h"
#include "finance/packed_amount.h"
#include "finance/record_access.h"
#include "finance/record_match.h"
#include "finance/row_limits.h"

namespace ledgerix {
namespace {

// The kinds' columns by position, as the lookups read them.
constexpr uint32_t kIdColumn = 0;
constexpr uint32_t kDescrColumn = 1;
constexpr uint32_t kCategoryColumn = 2;
constexpr uint32_t kPriceColumn = 3;
constexpr uint32_t kTypeColumn = 4;

bool SetKindFields(DbRecord* record, const KindRecord& kind) {
  return SetTextField(record, col::kDescr, kind.name) &&
         SetTextField(record, col::kCategory, kind.category) &&
         SetIntField(record, col::kPrice, PackAmount(kind.price)) &&
         SetIntField(record, col::kType, kind.type);
}

KindRecord ReadKind(DbRecord* record) {
  KindRecord kind;
  kind.id = IntFieldAt(record, kIdColumn);
  kind.name = TextFieldAt(record, kDescrColumn);
  kind.category = TextFieldAt(record, kCategoryColumn);
  kind.price = UnpackAmount(IntFieldAt(record, kPriceColumn));
  kind.type = IntFieldAt(record, kTypeColumn);
  return kind;
}

// What a kind row must satisfy before it is stored.
bool KindCanBeStored(const KindRecord& kind) { return KindFits(kind) && CanPackAmount(kind.price); }

}  // namespace

int FinanceDb::AddKind(const KindRecord& kind) {
  if (!KindCanBeStored(kind)) return 0;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kKindsTable);
  if (record_set == nullptr || !record_set->AddNew()) return 0;
  DbRecord* record = record_set->CurrentRecord(-1);
  if (!SetIntField(record, col::kId, kind.id) || !SetKindFields(record, kind)) return 0;
  return record_set->Update() ? 1 : 0;
}

int FinanceDb::UpdateKind(const KindRecord& kind) {
  if (!KindCanBeStored(kind)) return 0;
  DbTransaction transaction(connection_.get(), DbTransaction::Mode::kJoinOrBegin);
  if (!transaction.active()) return 0;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kKindsTable);
  if (record_set == nullptr) return 0;
  bool matched = false;
  bool written = true;
  // Every row of that id changes, so that two kinds that share an id stay alike: all of them or,
  // when one cannot be read or written, none.
  const bool read = ForEachRow(*record_set, [&](DbRecord* record) {
    if (IntField(record, col::kId) != kind.id) return true;
    matched = true;
    written = SetKindFields(record, kind) && record_set->Update();
    return written;
  });
  record_set.reset();
  if (!read || !matched || !written) return 0;
  return transaction.Commit() ? 1 : 0;
}

int FinanceDb::DeleteKind(int32_t id) {
  DbTransaction transaction(connection_.get());
  if (!transaction.active()) return 0;
  // In every account, whatever the current one is: entries whose kind is gone could never be
  // shown or removed again, yet would still move every balance. So they go first.
  EntryFilter filter;
  filter.kind_id = id;
  if (!DeleteMatchingEntries(filter, /*account_id=*/0)) return 0;
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kKindsTable);
  if (record_set == nullptr) return 0;
  while (!record_set->IsEOF()) {
    DbRecord* record = record_set->CurrentRecord(-1);
    if (record == nullptr) return 0;
    if (IntField(record, col::kId) != id) {
      record_set->MoveNext();
    } else if (!record_set->Delete()) {  // after a Delete the position shows the next row
      return 0;
    }
  }
  record_set.reset();
  return transaction.Commit() ? 1 : 0;
}

int FinanceDb::FindKind(KindRecord* out, int32_t id, int32_t type, const DbString& name) {
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kKindsTable);
  if (record_set == nullptr) return 0;
  int found = 0;
  const bool read = ForEachRow(*record_set, [&](DbRecord* record) {
    KindRecord row = ReadKind(record);
    if (!KindMatches(row, id, type, name)) return true;
    if (out != nullptr) *out = row;
    found = 1;
    return false;
  });
  return read ? found : 0;
}

std::unique_ptr<DbRecordSet> FinanceDb::OpenKinds() { return OpenTable(kKindsTable); }

int FinanceDb::LoadKinds(std::vector<KindRecord>* out) {
  out->clear();
  std::unique_ptr<DbRecordSet> record_set = OpenTable(kKindsTable);
  if (record_set == nullptr) return 0;
  return ScanEveryRow(*record_set,
                      [&](DbRecord* record) {
                        out->push_back(ReadKind(record));
                        return true;
                      })
             ? 1
             : 0;
}

int32_t FinanceDb::FreeKindId(int32_t preferred) {
  std::vector<KindRecord> kinds;
  // An id of a kind that could not be read might be handed out again.
  if (!LoadKinds(&kinds)) return 0;
  std::set<int32_t> taken;
  for (const KindRecord& kind : kinds) taken.insert(kind.id);
  return NextFreeId(taken, preferred);
}

}  // namespace ledgerix
