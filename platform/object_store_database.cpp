#include "platform/object_store_database.h"

#include <utility>

#include "platform/property_record.h"
#include "platform/sqlite_statement.h"

namespace ledgerix::platform {
namespace {

// One statement per direction, started from a key and read step by step: the primary key
// range search makes the start a tree descent and every further step a move to the
// neighbouring row. OFFSET lets SQLite skip rows without handing each one back.
constexpr char kForwardScan[] =
    "SELECT sort_key, properties FROM records WHERE database_id = ?1 AND sort_key > ?2 "
    "ORDER BY sort_key LIMIT -1 OFFSET ?3";
constexpr char kBackwardScan[] =
    "SELECT sort_key, properties FROM records WHERE database_id = ?1 AND sort_key < ?2 "
    "ORDER BY sort_key DESC LIMIT -1 OFFSET ?3";
// A whole walk reads only the properties, in sort order.
constexpr char kScanAll[] =
    "SELECT properties FROM records WHERE database_id = ?1 ORDER BY sort_key";
constexpr int kKeyColumn = 0;
constexpr int kPropertiesColumn = 1;

}  // namespace

ObjectStoreDatabase::ObjectStoreDatabase(ObjectStore::Key, ObjectStore* store, int64_t id,
                                         DatabaseInfo info)
    : store_(store), id_(id), info_(std::move(info)) {
  store_->Register(this);
}

ObjectStoreDatabase::~ObjectStoreDatabase() {
  // Whoever began the batch and did not end it learns nothing more; a failed commit takes the
  // batch's writes back as a whole.
  static_cast<void>(EndBatch());
  if (store_ != nullptr) store_->Unregister(this);
}

bool ObjectStoreDatabase::PrepareScans() {
  count_ = store_->CountRecords(id_);
  forward_ = std::make_unique<SqliteStatement>(store_->connection(), kForwardScan);
  backward_ = std::make_unique<SqliteStatement>(store_->connection(), kBackwardScan);
  return forward_->valid() && backward_->valid();
}

uint32_t ObjectStoreDatabase::RecordCount() const { return usable() ? count_ : 0; }

SqliteStatement& ObjectStoreDatabase::Statement(Scan direction) const {
  return direction == Scan::kForward ? *forward_ : *backward_;
}

void ObjectStoreDatabase::ReleaseScan() {
  if (scan_ != Scan::kNone) {
    SqliteStatement& scan = Statement(scan_);
    if (key_in_row_) key_ = SortKey::FromBytes(scan.ColumnBytes(kKeyColumn));
    scan.Reset();
  }
  key_in_row_ = false;
  scan_ = Scan::kNone;
}

void ObjectStoreDatabase::StandOnScanRow(Scan direction) {
  // The key is copied out of the row only when the scan is let go: a walk never needs it.
  scan_ = direction;
  key_in_row_ = true;
  place_ = Place::kOnRecord;
}

bool ObjectStoreDatabase::StartScan(Scan direction, const SortKey* from, int64_t skip) {
  // Letting go of the running scan brings key_ up to date, so `from` may point at it.
  ReleaseScan();
  SqliteStatement& scan = Statement(direction);
  scan.BindInt(1, id_);
  if (from == nullptr) {
    scan.BindBlob(
        2, direction == Scan::kForward ? SortKey::Lowest().bytes() : SortKey::Highest().bytes());
  } else {
    scan.BindBlob(2, from->bytes());  // copied, so key_ may change while the scan runs
  }
  scan.BindInt(3, skip);
  if (!scan.Step()) return false;
  StandOnScanRow(direction);
  return true;
}

bool ObjectStoreDatabase::StepScan() {
  const Scan direction = scan_;
  if (!Statement(direction).Step()) {
    // The cursor leaves the records, so the key of the row it stood on is not needed.
    scan_ = Scan::kNone;
    key_in_row_ = false;
    return false;
  }
  StandOnScanRow(direction);
  return true;
}

bool ObjectStoreDatabase::SeekFirst() {
  if (!usable()) return false;
  if (!StartScan(Scan::kForward, nullptr, 0)) {
    place_ = Place::kAfterLast;
    return false;
  }
  index_ = 0;
  return true;
}

bool ObjectStoreDatabase::SeekLast() {
  if (!usable()) return false;
  if (!StartScan(Scan::kBackward, nullptr, 0)) {
    place_ = Place::kBeforeFirst;
    return false;
  }
  index_ = static_cast<int64_t>(RecordCount()) - 1;
  return true;
}

bool ObjectStoreDatabase::SeekNext() {
  if (!usable() || place_ == Place::kAfterLast) return false;
  std::optional<int64_t> next_index;
  if (place_ == Place::kBeforeFirst) {
    next_index = 0;
  } else if (index_) {
    next_index = place_ == Place::kOnRecord ? *index_ + 1 : *index_;
  }
  const bool found =
      place_ == Place::kOnRecord && scan_ == Scan::kForward
          ? StepScan()
          : StartScan(Scan::kForward, place_ == Place::kBeforeFirst ? nullptr : &key_, 0);
  if (!found) {
    place_ = Place::kAfterLast;
    return false;
  }
  index_ = next_index;
  return true;
}

bool ObjectStoreDatabase::SeekPrevious() {
  if (!usable() || place_ == Place::kBeforeFirst) return false;
  std::optional<int64_t> previous_index;
  if (place_ == Place::kAfterLast) {
    previous_index = static_cast<int64_t>(RecordCount()) - 1;
  } else if (index_) {
    previous_index = *index_ - 1;
  }
  const bool found =
      place_ == Place::kOnRecord && scan_ == Scan::kBackward
          ? StepScan()
          : StartScan(Scan::kBackward, place_ == Place::kAfterLast ? nullptr : &key_, 0);
  if (!found) {
    place_ = Place::kBeforeFirst;
    return false;
  }
  index_ = previous_index;
  return true;
}

bool ObjectStoreDatabase::SeekToIndex(uint32_t index) {
  if (!usable()) return false;
  const int64_t target = index;
  const int64_t count = RecordCount();
  if (target >= count) {
    ReleaseScan();
    place_ = Place::kAfterLast;
    return false;
  }
  if (place_ == Place::kOnRecord && index_ == target) return true;
  // Start from the first record, the last, or the current position when it is known,
  // whichever skips the fewest records.
  Scan direction = Scan::kForward;
  const SortKey* from = nullptr;
  int64_t skip = target;
  if (count - 1 - target < skip) {
    direction = Scan::kBackward;
    skip = count - 1 - target;
  }
  if (HasKey() && index_) {
    // From a gap, the record at *index_ is the first one after the key.
    const bool ahead = target > *index_ || (place_ == Place::kGap && target == *index_);
    const int64_t skip_from_here =
        ahead ? target - *index_ - (place_ == Place::kOnRecord ? 1 : 0) : *index_ - 1 - target;
    if (skip_from_here < skip) {
      direction = ahead ? Scan::kForward : Scan::kBackward;
      from = &key_;
      skip = skip_from_here;
    }
  }
  const bool found =
      from != nullptr && skip == 0 && place_ == Place::kOnRecord && scan_ == direction
          ? StepScan()
          : StartScan(direction, from, skip);
  if (!found) {
    place_ = Place::kAfterLast;
    return false;
  }
  index_ = target;
  return true;
}

uint32_t ObjectStoreDatabase::CurrentObjectId() const {
  if (!usable() || place_ != Place::kOnRecord) return 0;
  if (!key_in_row_) return key_.object_id();
  const SqliteStatement& scan = Statement(scan_);
  return SortKey::ObjectIdOf(scan.ColumnData(kKeyColumn), scan.ColumnSize(kKeyColumn));
}

bool ObjectStoreDatabase::ReadCurrent(std::vector<Property>* out) {
  if (!usable() || place_ != Place::kOnRecord) return false;
  if (scan_ != Scan::kNone) {
    const SqliteStatement& scan = Statement(scan_);
    return DecodePropertyRecord(scan.ColumnData(kPropertiesColumn),
                                scan.ColumnSize(kPropertiesColumn), out);
  }
  return store_->ReadRecord(id_, key_, out);
}

bool ObjectStoreDatabase::CurrentBytes(std::string_view* out) const {
  if (!usable() || place_ != Place::kOnRecord || scan_ == Scan::kNone) return false;
  const SqliteStatement& scan = Statement(scan_);
  *out = std::string_view(static_cast<const char*>(scan.ColumnData(kPropertiesColumn)),
                          scan.ColumnSize(kPropertiesColumn));
  return true;
}

bool ObjectStoreDatabase::ScanAll(const std::function<bool(std::string_view)>& visit) {
  if (!usable()) return false;
  if (all_ == nullptr) all_ = std::make_unique<SqliteStatement>(store_->connection(), kScanAll);
  SqliteStatement& scan = *all_;
  scan.BindInt(1, id_);
  bool more = true;
  while (more && scan.Step()) {
    more =
        visit(std::string_view(static_cast<const char*>(scan.ColumnData(0)), scan.ColumnSize(0)));
  }
  const bool whole = !more || scan.last_code() == SQLITE_DONE;
  scan.Reset();
  return whole;
}

uint32_t ObjectStoreDatabase::AddRecord(const std::vector<Property>& properties) {
  return usable() ? store_->InsertRecord(id_, info_.sort.property_id, properties) : 0;
}

bool ObjectStoreDatabase::WriteRecord(uint32_t object_id, const std::vector<Property>& properties) {
  return usable() && store_->ReplaceRecord(id_, info_.sort.property_id, object_id, properties);
}

bool ObjectStoreDatabase::DeleteRecord(uint32_t object_id) {
  return usable() && store_->DeleteRecord(id_, object_id);
}

bool ObjectStoreDatabase::BeginBatch() {
  if (!usable() || in_batch_ || !store_->BeginBatch()) return false;
  in_batch_ = true;
  batch_aborts_ = store_->AbortCount();
  return true;
}

bool ObjectStoreDatabase::EndBatch() {
  if (!in_batch_) return true;
  in_batch_ = false;
  // After the store aborted the batch there is nothing left to end, and nothing of it was kept.
  if (store_ == nullptr || store_->AbortCount() != batch_aborts_) return false;
  // A deleted database still ends its batch: the store's other writes are in it.
  return store_->EndBatch();
}

void ObjectStoreDatabase::OnInserted(const SortKey& key) {
  ++count_;
  if (HasKey() && index_ && key < key_) ++*index_;
}

void ObjectStoreDatabase::OnRemoved(const SortKey& key) {
  --count_;
  if (place_ == Place::kOnRecord && key.object_id() == key_.object_id()) {
    // The next record now holds the deleted one's position, so the index stays.
    place_ = Place::kGap;
  } else if (HasKey() && index_ && key < key_) {
    --*index_;
  }
}

void ObjectStoreDatabase::OnRewritten(const SortKey& old_key, const SortKey& new_key) {
  if (place_ == Place::kOnRecord && old_key.object_id() == key_.object_id()) {
    key_ = new_key;
    // The record may have passed others, so its position is no longer known; the next seek to
    // an index starts from the first or the last record.
    if (!old_key.SameValue(new_key)) index_.reset();
    return;
  }
  // As a delete and an add, which leave the count as it was.
  OnRemoved(old_key);
  OnInserted(new_key);
}

void ObjectStoreDatabase::OnCleared() {
  ReleaseScan();
  count_ = 0;
  place_ = Place::kBeforeFirst;
  index_.reset();
}

void ObjectStoreDatabase::OnBatchRolledBack() {
  ReleaseScan();
  count_ = store_->CountRecords(id_);
  place_ = Place::kBeforeFirst;
  index_.reset();
}

void ObjectStoreDatabase::OnDatabaseDeleted() {
  ReleaseScan();
  deleted_ = true;
}

void ObjectStoreDatabase::OnStoreClosed() {
  ReleaseScan();
  forward_.reset();
  all_.reset();
  backward_.reset();
  store_ = nullptr;
}

}  // namespace ledgerix::platform
