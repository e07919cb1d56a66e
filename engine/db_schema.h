#pragma once
// DbTableSchema and DbSchema: table definitions (a name and its columns in order), used to
// create a database and kept by the drivers as the catalog of an open one.

#include <memory>
#include <vector>

#include "engine/db_column_def.h"
#include "engine/db_string.h"

namespace ledgerix {

struct DbTableSchema {
  DbString name;
  std::vector<std::unique_ptr<DbColumnDef>> columns;

  DbTableSchema() = default;
  explicit DbTableSchema(const DbString& table_name) : name(table_name) {}
  // Appends a column; the schema owns it.
  void AddColumn(const DbString& column_name, DbValueType type, uint32_t size = 0) {
    columns.push_back(std::make_unique<DbColumnDef>(column_name, type, size));
  }
  uint32_t ColumnCount() const { return static_cast<uint32_t>(columns.size()); }
};

class DbSchema {
 public:
  // Appends a table definition and answers it for filling in.
  DbTableSchema& AddTable(const DbString& name) { return tables_.emplace_back(name); }
  void Append(DbTableSchema table) { tables_.push_back(std::move(table)); }
  uint32_t Count() const { return static_cast<uint32_t>(tables_.size()); }
  // The table at an index, or null when the index is not below the count.
  const DbTableSchema* At(uint32_t index) const {
    return index < tables_.size() ? &tables_[index] : nullptr;
  }
  // The first table whose name equals `name` exactly, or null.
  const DbTableSchema* Find(const DbString& name) const {
    for (const DbTableSchema& table : tables_) {
      if (table.name.Equals(name)) return &table;
    }
    return nullptr;
  }
  void Clear() { tables_.clear(); }

 private:
  std::vector<DbTableSchema> tables_;
};

}  // namespace ledgerix
