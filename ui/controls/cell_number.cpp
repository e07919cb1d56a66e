#include "ui/controls/cell_number.h"

#include <algorithm>
#include <string>

#include "engine/parse.h"
#include "finance/format_amount.h"

namespace ledgerix {
namespace {

constexpr int kMoneyDecimals = 2;

bool StartsNegative(const char* text) {
  while (*text == ' ') ++text;
  return *text == '-';
}

}  // namespace

DbString NumberEditorText(std::string_view cell, int decimals) {
  std::string text(cell);
  std::erase(text, ',');
  if (decimals <= 0) return DbString(std::string_view(text));
  const size_t point = std::min(text.find('.'), text.size());
  const bool negative = !text.empty() && text[0] == '-';
  std::string whole = text.substr(0, point);
  if (whole.size() == (negative ? 1u : 0u)) whole += '0';
  std::string fraction = point < text.size() ? text.substr(point + 1) : std::string();
  fraction.resize(static_cast<size_t>(decimals), '0');
  return DbString(std::string_view(whole + '.' + fraction));
}

DbString DecimalCellText(const char* editor_text, int decimals) {
  if (editor_text == nullptr) editor_text = "";
  if (decimals == kMoneyDecimals) return FormatMoney(CellHundredths(editor_text));
  if (decimals <= 0) return FormatAmount(ParseInt(editor_text), 0);
  const double value = ParseDecimal(editor_text);
  return FormatAmount(StartsNegative(editor_text) ? -value : value, decimals);
}

}  // namespace ledgerix
