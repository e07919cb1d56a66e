#pragma once
// ListRow: one row of an editable list: its cell texts (Windows-1251, as DbString holds them)
// kept together in one block, its image index and its data value. A list of 50,000 rows of
// seven cells then allocates once per row instead of once per cell.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ledgerix {

class ListRow {
 public:
  ListRow() = default;
  ListRow(std::string_view first_cell, int image, int64_t data);

  size_t CellCount() const { return count_; }
  // The text of cell i; empty for a cell the row does not have.
  std::string_view Cell(size_t i) const;
  // The same, NUL-terminated; "" for a cell the row does not have. Valid until the row changes.
  const char* CStr(size_t i) const;

  // A text is kept up to its first 0 byte.
  // Sets cell i, giving the row empty cells up to it when it has fewer.
  void SetCell(size_t i, std::string_view text);
  // Appends a cell after the last one.
  void AppendCell(std::string_view text);
  // Room for `bytes` bytes of cell text, so that the appends of a fill allocate once.
  void Reserve(size_t bytes) { text_.reserve(bytes); }
  // An empty cell inserted before cell i; nothing when the row has no cell i.
  void InsertCell(size_t i);
  // Removes cell i; nothing when the row has no cell i.
  void RemoveCell(size_t i);

  int image = 0;
  int64_t data = 0;

 private:
  // Where cell i starts in text_ (i <= count_).
  size_t Start(size_t i) const;

  std::string text_;  // every cell followed by a 0 byte
  uint32_t count_ = 0;
};

}  // namespace ledgerix
