#pragma once
// DbColumnDef: one column of a table: its name, value type and size number (0 for every column
// the program defines; a record set copies it into each field's tag).

#include <cstdint>

#include "engine/db_string.h"
#include "engine/db_value.h"

namespace ledgerix {

class DbColumnDef {
 public:
  DbColumnDef() = default;
  DbColumnDef(const DbString& name, DbValueType type, uint32_t size = 0)
      : name_(name), type_(type), size_(size) {}
  virtual ~DbColumnDef() = default;

  const DbString& Name() const { return name_; }
  DbValueType Type() const { return type_; }
  uint32_t Size() const { return size_; }

 private:
  DbString name_;
  DbValueType type_ = DbValueType::Untyped;
  uint32_t size_ = 0;
};

}  // namespace ledgerix
