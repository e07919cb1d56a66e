#pragma once
// ColumnEditors: which columns of an editable list can be edited in place, and how: a number
// editor (plain text, digits only or a decimal number with a number of decimals) or a drop-down
// of choice values. Descriptors follow their columns when columns are inserted or deleted.

#include <vector>

#include "engine/db_value.h"

namespace ledgerix {

// What the in-place editor of a column accepts.
inline constexpr int kEditorPlainText = 0;
inline constexpr int kEditorDigits = 1;
inline constexpr int kEditorDecimal = 2;

struct ColumnEditor {
  int column = 0;
  int kind = kEditorPlainText;   // kEditorPlainText, kEditorDigits or kEditorDecimal
  int spare = 0;                 // kept for the caller; the list does not read it
  bool edit_enabled = true;      // a double tap opens the number editor
  int decimals = 0;              // decimals of a kEditorDecimal cell
  std::vector<DbValue> choices;  // the entries of a drop-down editor
  bool drop_down = false;        // a double tap opens a drop-down of the choices
};

class ColumnEditors {
 public:
  // The descriptor of a column; null when the column has none.
  const ColumnEditor* Find(int column) const;

  // Adds an edit-enabled descriptor. False, changing nothing, when the column already has one.
  bool Add(int column, int kind, int spare, int decimals);
  // Adds the descriptor, or replaces the column's descriptor, with edit-enabled off: the form
  // for drop-down editors (`editor.edit_enabled` is ignored).
  void AddOrUpdate(ColumnEditor editor);

  // A column was inserted at `column`: the descriptors of it and the columns after it move one
  // column on.
  void InsertColumn(int column);
  // A column was deleted: its descriptor goes, those of the columns after it move one back.
  void DeleteColumn(int column);
  void Clear() { editors_.clear(); }
  size_t size() const { return editors_.size(); }

 private:
  ColumnEditor* FindMutable(int column);

  std::vector<ColumnEditor> editors_;
};

}  // namespace ledgerix
