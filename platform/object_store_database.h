#pragma once
// One open database of the object store: its records in sort order behind a cursor, and the
// writes that add, replace and delete records.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/object_store.h"
#include "platform/property.h"
#include "platform/sort_key.h"

namespace ledgerix::platform {

// Records are ordered by the value of the sort property: integers, booleans and doubles by
// value (signed), then texts by 16-bit code units, then byte blocks byte by byte; a record that
// lacks the sort property comes first and a NaN just after those. Records with equal values
// keep the order of their object ids, which is the order they were added.
//
// The cursor is on a record, before the first, after the last, or (after its record was
// deleted) in the gap that record left. A seek that answers false leaves it before the first
// (previous, last) or after the last (next, first, index). Seeks step one SQLite statement
// through the clustered table, so walking the database costs one step per record.
//
// Created by ObjectStore::OpenDatabase and owned by its caller. Once the database has been
// deleted or the store destroyed, every call answers failure.
class ObjectStoreDatabase {
 public:
  // Use ObjectStore::OpenDatabase, the only caller that can make the key.
  ObjectStoreDatabase(ObjectStore::Key, ObjectStore* store, int64_t id, DatabaseInfo info);
  // Ends the batch this database began, if any.
  ~ObjectStoreDatabase();
  ObjectStoreDatabase(const ObjectStoreDatabase&) = delete;
  ObjectStoreDatabase& operator=(const ObjectStoreDatabase&) = delete;

  const DatabaseInfo& info() const { return info_; }
  // False once the database was deleted or its store closed.
  bool usable() const { return store_ != nullptr && !deleted_; }

  // The number of records (0 when not usable). Read once at open and kept up to date by the
  // store's writes, so it costs nothing.
  uint32_t RecordCount() const;

  // Each seek answers whether the cursor now stands on a record.
  bool SeekFirst();
  bool SeekLast();
  bool SeekNext();
  bool SeekPrevious();
  // Seeks to the record at a 0-based position in sort order, stepping from the current record,
  // the first or the last, whichever is nearest.
  bool SeekToIndex(uint32_t index);

  // The object id of the current record, 0 when the cursor is not on a record.
  uint32_t CurrentObjectId() const;
  // Reads all properties of the current record into `out`, in the order they were written.
  // False when the cursor is not on a record or the record cannot be read.
  [[nodiscard]] bool ReadCurrent(std::vector<Property>* out);
  // The byte form of the current record's properties (see property_record.h) without a copy,
  // valid until the cursor moves. False when the cursor is not on a record that a walk stepped
  // to (use ReadCurrent then).
  [[nodiscard]] bool CurrentBytes(std::string_view* out) const;
  // Every record in sort order, from the first: visit(bytes) with the byte form of its properties
  // (valid during the call) until it answers false. The cursor is left where it was. True when
  // the walk ended at the last record or by visit; false when the store could not be read.
  [[nodiscard]] bool ScanAll(const std::function<bool(std::string_view)>& visit);

  // Adds a record. Answers its new object id, or 0 when the properties cannot be kept (two with
  // one id) or the write fails. The cursor stays where it was.
  [[nodiscard]] uint32_t AddRecord(const std::vector<Property>& properties);
  // Replaces all properties of the record with this object id, which must belong to this
  // database. When it is the current record, the cursor follows it to its new place.
  [[nodiscard]] bool WriteRecord(uint32_t object_id, const std::vector<Property>& properties);
  // Deletes the record with this object id, which must belong to this database. When it was the
  // current record, SeekNext then answers the record that followed it and SeekPrevious the one
  // before it.
  [[nodiscard]] bool DeleteRecord(uint32_t object_id);

  // Begins a batch of the store's writes (ObjectStore::BeginBatch) that this database ends at
  // EndBatch or when it is destroyed, so that whoever loads through it cannot leave the store
  // in a transaction. False when not usable, when it already runs one, or when the store
  // cannot begin it.
  [[nodiscard]] bool BeginBatch();
  // Ends the batch this database began (ObjectStore::EndBatch). True when committed or when it
  // runs none; false when the commit failed or the store was closed first.
  [[nodiscard]] bool EndBatch();

 private:
  friend class ObjectStore;
  enum class Place { kBeforeFirst, kOnRecord, kGap, kAfterLast };
  enum class Scan { kNone, kForward, kBackward };

  [[nodiscard]] bool PrepareScans();

  // Starts a scan in one direction from just past `from` (null: from the end the scan starts
  // at), skips `skip` records and stands on the record found. False (cursor unchanged, no scan
  // running) when there is none.
  [[nodiscard]] bool StartScan(Scan direction, const SortKey* from, int64_t skip);
  // Steps the running scan once. False at its end.
  [[nodiscard]] bool StepScan();
  SqliteStatement& Statement(Scan direction) const;
  void StandOnScanRow(Scan direction);
  bool HasKey() const { return place_ == Place::kOnRecord || place_ == Place::kGap; }

  // Called by the store around writes.
  void ReleaseScan();
  void OnInserted(const SortKey& key);
  void OnRemoved(const SortKey& key);
  void OnRewritten(const SortKey& old_key, const SortKey& new_key);
  void OnCleared();
  // A batch was rolled back: the count is read again and the cursor stands before the first
  // record.
  void OnBatchRolledBack();
  void OnDatabaseDeleted();
  void OnStoreClosed();

  ObjectStore* store_;
  int64_t id_;
  DatabaseInfo info_;
  bool deleted_ = false;
  bool in_batch_ = false;      // this database began a batch of the store that it has not ended
  uint64_t batch_aborts_ = 0;  // the store's AbortCount when it began
  uint32_t count_ = 0;

  std::unique_ptr<SqliteStatement> forward_;
  std::unique_ptr<SqliteStatement> all_;  // ScanAll's, prepared on first use
  std::unique_ptr<SqliteStatement> backward_;
  Scan scan_ = Scan::kNone;  // the scan whose current row is the current record

  Place place_ = Place::kBeforeFirst;
  SortKey key_;              // kOnRecord: the current record's key; kGap: the deleted record's key
  bool key_in_row_ = false;  // key_ is out of date: the running scan's row holds the key
  // kOnRecord: the current record's position; kGap: the position of the record after the gap.
  // Unknown after the current record moved within the order.
  std::optional<int64_t> index_;
};

}  // namespace ledgerix::platform
