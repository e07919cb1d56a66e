#pragma once
// ListControl: the list that the finance and report operations fill (the entry list of a day,
// the kinds list). The screens implement it over their list widgets; tests over memory.

#include <cstdint>

#include "engine/db_string.h"

namespace ledgerix {

class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual void DeleteAllItems() = 0;
  // Appends an item with the text of its first column, an icon index and a data value; answers
  // the item's index.
  [[nodiscard]] virtual int InsertItem(const DbString& text, int image, int64_t data) = 0;
  // Sets the text of column `sub_item` (0 is the first column) of an item.
  virtual void SetItemText(int item, int sub_item, const DbString& text) = 0;
  virtual int ItemCount() const = 0;
};

}  // namespace ledgerix
