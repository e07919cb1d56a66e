#include "platform/sqlite_statement.h"

namespace ledgerix::platform {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
  sqlite3_stmt* stmt = nullptr;
  last_code_ = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
  if (last_code_ == SQLITE_OK) {
    stmt_.reset(stmt);
  } else {
    sqlite3_finalize(stmt);
  }
}

void SqliteStatement::BindInt(int index, int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_.get(), index, value);
}

void SqliteStatement::BindDouble(int index, double value) {
  if (stmt_) sqlite3_bind_double(stmt_.get(), index, value);
}

void SqliteStatement::BindBlob(int index, const void* data, size_t size) {
  // A zero-length blob bound from a null pointer would be NULL, not an empty blob.
  static const char kEmpty = 0;
  if (stmt_) {
    sqlite3_bind_blob64(stmt_.get(), index, size == 0 ? &kEmpty : data, size, SQLITE_TRANSIENT);
  }
}

void SqliteStatement::BindText(int index, const std::string& text) {
  if (stmt_)
    sqlite3_bind_text64(stmt_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
}

bool SqliteStatement::Step() {
  if (!stmt_) return false;
  last_code_ = sqlite3_step(stmt_.get());
  if (last_code_ == SQLITE_ROW) return true;
  sqlite3_reset(stmt_.get());
  return false;
}

bool SqliteStatement::Run() {
  if (!stmt_) return false;
  last_code_ = sqlite3_step(stmt_.get());
  sqlite3_reset(stmt_.get());
  return last_code_ == SQLITE_DONE;
}

void SqliteStatement::Reset() {
  if (stmt_) sqlite3_reset(stmt_.get());
}

int64_t SqliteStatement::ColumnInt(int column) const {
  return sqlite3_column_int64(stmt_.get(), column);
}

double SqliteStatement::ColumnDouble(int column) const {
  return sqlite3_column_double(stmt_.get(), column);
}

const void* SqliteStatement::ColumnData(int column) const {
  return sqlite3_column_blob(stmt_.get(), column);
}

size_t SqliteStatement::ColumnSize(int column) const {
  return static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), column));
}

std::string SqliteStatement::ColumnBytes(int column) const {
  // The data pointer must be taken before the size, as SQLite documents.
  const char* data = static_cast<const char*>(ColumnData(column));
  size_t size = ColumnSize(column);
  return data == nullptr ? std::string() : std::string(data, size);
}

bool SqliteStatement::ColumnIsNull(int column) const {
  return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

bool ExecSql(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace ledgerix::platform
