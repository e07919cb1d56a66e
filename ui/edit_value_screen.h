#pragma once
// EditValueScreen: the rules of "Изменить значение": one text to edit, handed back on OK.

#include <string_view>
#include <utility>

#include "engine/db_string.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

class EditValueScreen : public ScreenRules {
 public:
  explicit EditValueScreen(DbString initial) : text(std::move(initial)) {}
  std::string_view ScreenName() const override { return "EditValueDialog"; }

  DbString text;  // the edit field: the initial text, then what the person typed (may be empty)
};

}  // namespace ledgerix
