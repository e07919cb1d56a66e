#include "ui/controls/row_colour_rule.h"

#include "ui/controls/cell_number.h"

namespace ledgerix {

bool RowColourRule::Matches(const char* cell) const {
  if (column < 0 || cell == nullptr) return false;
  if (as_text) return compare == RowCompare::kEqual && value.View() == std::string_view(cell);
  const int64_t left = CellHundredths(cell);
  const int64_t right = CellHundredths(value.CStr());
  switch (compare) {
    case RowCompare::kLess:
      return left < right;
    case RowCompare::kGreater:
      return left > right;
    case RowCompare::kEqual:
      return left == right;
    case RowCompare::kNotEqual:
      return left != right;
  }
  return false;
}

}  // namespace ledgerix
