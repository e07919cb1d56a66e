#include "ui/controls/column_editor.h"

#include <algorithm>
#include <utility>

namespace ledgerix {

const ColumnEditor* ColumnEditors::Find(int column) const {
  for (const ColumnEditor& editor : editors_) {
    if (editor.column == column) return &editor;
  }
  return nullptr;
}

ColumnEditor* ColumnEditors::FindMutable(int column) {
  return const_cast<ColumnEditor*>(std::as_const(*this).Find(column));
}

bool ColumnEditors::Add(int column, int kind, int spare, int decimals) {
  if (Find(column) != nullptr) return false;
  ColumnEditor editor;
  editor.column = column;
  editor.kind = kind;
  editor.spare = spare;
  editor.decimals = decimals;
  editors_.push_back(std::move(editor));
  return true;
}

void ColumnEditors::AddOrUpdate(ColumnEditor editor) {
  editor.edit_enabled = false;
  if (ColumnEditor* existing = FindMutable(editor.column)) {
    *existing = std::move(editor);
  } else {
    editors_.push_back(std::move(editor));
  }
}

void ColumnEditors::InsertColumn(int column) {
  for (ColumnEditor& editor : editors_) {
    if (editor.column >= column) ++editor.column;
  }
}

void ColumnEditors::DeleteColumn(int column) {
  std::erase_if(editors_, [column](const ColumnEditor& editor) { return editor.column == column; });
  for (ColumnEditor& editor : editors_) {
    if (editor.column > column) --editor.column;
  }
}

}  // namespace ledgerix
