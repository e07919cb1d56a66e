#include "ui/controls/cell_export.h"

#include <algorithm>
#include <string>

#include "ui/controls/cell_number.h"

namespace ledgerix {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional "-", then digits and "," with at least one digit, then at most one "." followed
// by digits.
bool LooksLikeNumber(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const bool whole_ok =
      std::any_of(whole.begin(), whole.end(), IsDigit) &&
      std::all_of(whole.begin(), whole.end(), [](char c) { return IsDigit(c) || c == ','; });
  return whole_ok && std::all_of(fraction.begin(), fraction.end(), IsDigit);
}

DbString WholeNumberText(std::string_view text) {
  std::string out(text.substr(0, text.find('.')));
  std::erase(out, ',');
  return DbString(std::string_view(out));
}

}  // namespace

DbString CellExportText(std::string_view text, const ColumnEditor* editor) {
  if (text.empty()) return DbString();
  if (editor == nullptr) return LooksLikeNumber(text) ? WholeNumberText(text) : DbString(text);
  if (editor->kind == kEditorDigits || editor->kind == kEditorDecimal) {
    return editor->decimals > 0 ? NumberEditorText(text, editor->decimals) : WholeNumberText(text);
  }
  return DbString(text);
}

}  // namespace ledgerix
