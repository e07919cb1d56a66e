#include "engine/db_record_set.h"

namespace ledgerix {

DbRecord::DbRecord(DbRecordSet* owner, uint32_t count) : owner_(owner), fields_(count) {}

DbValue* DbRecord::FieldByName(const char* name) {
  if (owner_ == nullptr) return nullptr;
  const int index = owner_->ColumnIndex(name);
  if (index < 0) return nullptr;
  return FieldByIndex(static_cast<uint32_t>(index));
}

DbValue* DbRecord::FieldByIndex(uint32_t index) {
  if (owner_ == nullptr || index >= fields_.size()) return nullptr;
  return &fields_[index];
}

uint32_t DbRecord::Count() const {
  return owner_ == nullptr ? 0 : static_cast<uint32_t>(fields_.size());
}

}  // namespace ledgerix
