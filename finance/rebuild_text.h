#pragma once
// The exchange text from which the finance database is rebuilt (after damage, or from an older
// layout): one section per table, a line per row. Only rows that their table can store and the
// exchange file can carry back are taken, so that loading the text can fail only for want of
// storage, never for a row it holds; the others are counted.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/db_schema.h"
#include "engine/db_string.h"
#include "engine/db_value.h"

namespace ledgerix {

// The values of a row as the exchange file writes them: whole numbers in decimal, texts as they
// are.
std::vector<DbString> ExchangeValuesOf(const std::vector<DbValue>& row);

// True when the values, one per column of `table`, can be stored in it by the exchange reader
// and read back the same: as many values as columns, texts free of the characters the exchange
// file reserves, and the row's encoding within a slot of the file database.
bool RowFitsTable(const DbTableSchema& table, const std::vector<DbString>& values);

// Rows per table, by table name ("[sec_data]").
using RowCounts = std::map<std::string, uint32_t, std::less<>>;

// Builds the text as the exchange file writes a database: each section its name line and its
// rows, sections set apart by an empty line.
class RebuildText {
 public:
  // Starts the section of a table with its name line.
  void BeginSection(const DbString& table);
  // Appends the values as one line of the section.
  void AddRow(const std::vector<DbString>& values);
  // Ends a section that another follows: the empty line between them.
  void EndSection();

  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The number of rows of each section of an exchange text.
RowCounts CountExchangeRows(std::string_view text);

}  // namespace ledgerix
