#include "companion/exchange_check.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/db_string.h"
#include "finance/finance_db.h"

namespace ledgerix {
namespace {

// A table of the file: its name and which of its columns hold numbers (the others texts).
struct SectionShape {
  const char* name;
  std::vector<bool> numeric;
  // The texts of a row may hold this many bytes together (the database's row limits).
  size_t text_bytes;
};

const std::array<SectionShape, 3>& Shapes() {
  static const std::array<SectionShape, 3> shapes = {{
      {kKindsTable, {true, false, false, true, true, true}, 90},
      {kEntriesTable, {true, true, true, true, true, false, true, true}, 115},
      {kAccountsTable, {true, false, false, true}, 62},
  }};
  return shapes;
}

bool IsInt32(std::string_view text) {
  size_t i = 0;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) i = 1;
  if (i == text.size() || text.size() - i > 10) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  return value >= INT32_MIN && value <= INT32_MAX;
}

// The reason a data line of `shape` does not read; empty when it does.
std::string CheckRow(std::string_view line, const SectionShape& shape) {
  if (line.back() != ';') return "после последнего «;» стоит текст";
  std::vector<std::string_view> values;
  size_t start = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ';') {
      values.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  if (values.size() != shape.numeric.size()) {
    return "ожидается " + std::to_string(shape.numeric.size()) + " значений, а не " +
           std::to_string(values.size());
  }
  size_t text_bytes = 0;
  for (size_t k = 0; k < values.size(); ++k) {
    if (shape.numeric[k]) {
      if (!IsInt32(values[k])) {
        return "значение " + std::to_string(k + 1) + " («" + ToUtf8(DbString(values[k])) +
               "») не целое число";
      }
    } else {
      text_bytes += values[k].size();
    }
  }
  if (text_bytes > shape.text_bytes) return "тексты строки длиннее, чем вмещает база";
  return {};
}

}  // namespace

bool CheckExchangeText(std::string_view text, LineError* error) {
  const SectionShape* section = nullptr;
  std::vector<const SectionShape*> seen;
  size_t line_number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    std::string reason;
    if (line.front() == '[') {
      section = nullptr;
      for (const SectionShape& shape : Shapes()) {
        if (line == shape.name) section = &shape;
      }
      if (section == nullptr) {
        reason = "неизвестная таблица «" + ToUtf8(DbString(line)) + "»";
      } else {
        for (const SectionShape* earlier : seen) {
          if (earlier == section) reason = "таблица «" + std::string(line) + "» уже была";
        }
        seen.push_back(section);
      }
    } else if (line.find_first_of("[]\r") != std::string_view::npos) {
      reason = "знаки «[», «]» или CR внутри строки данных";
    } else if (section == nullptr) {
      reason = "строка данных до названия таблицы";
    } else {
      reason = CheckRow(line, *section);
    }
    if (!reason.empty()) {
      *error = {line_number, reason};
      return false;
    }
  }
  return true;
}

}  // namespace ledgerix
