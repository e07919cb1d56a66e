#pragma once
// A prepared SQLite statement owned by RAII, with the few binds and column reads the object
// store uses. Failures are results: a statement that failed to prepare answers false to Step.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ledgerix::platform {

class SqliteStatement {
 public:
  SqliteStatement() = default;
  // Prepares `sql` on `db`; valid() tells whether that worked. The statement must be destroyed
  // before the connection is closed.
  SqliteStatement(sqlite3* db, const char* sql);

  bool valid() const { return stmt_ != nullptr; }

  // Binds copy their argument, so the caller may change it while the statement runs.
  void BindInt(int index, int64_t value);
  void BindDouble(int index, double value);
  void BindBlob(int index, const void* data, size_t size);
  void BindBlob(int index, const std::string& bytes) {
    BindBlob(index, bytes.data(), bytes.size());
  }
  void BindText(int index, const std::string& text);

  // Advances to the next row. True on a row; false at the end or on an error (then the
  // statement is reset and last_code() tells which).
  [[nodiscard]] bool Step();
  // Runs a statement that yields no rows. True when it completed.
  [[nodiscard]] bool Run();
  int last_code() const { return last_code_; }

  // Ends the current execution so that it holds no read transaction and can be run again
  // with new bindings.
  void Reset();

  int64_t ColumnInt(int column) const;
  double ColumnDouble(int column) const;
  // The column's bytes (a blob, or a text's UTF-8), valid until the next Step or Reset.
  const void* ColumnData(int column) const;
  size_t ColumnSize(int column) const;
  std::string ColumnBytes(int column) const;
  bool ColumnIsNull(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
  };
  std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
  int last_code_ = SQLITE_OK;
};

// Scope that resets a statement when it ends, so that no early return leaves a statement
// pending (a pending statement would hold back the commit of the next write).
class StatementScope {
 public:
  explicit StatementScope(SqliteStatement& statement) : statement_(statement) {}
  ~StatementScope() { statement_.Reset(); }
  StatementScope(const StatementScope&) = delete;
  StatementScope& operator=(const StatementScope&) = delete;

 private:
  SqliteStatement& statement_;
};

// Runs SQL text without results (several statements are allowed). True on success.
[[nodiscard]] bool ExecSql(sqlite3* db, const char* sql);

}  // namespace ledgerix::platform
