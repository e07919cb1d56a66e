#pragma once
// AboutScreen: the about box ("О программе ..."): the program's icon, name, version line and a
// short notice, closed by "Закрыть". It has no rules beyond its texts.

#include <string_view>

#include "ui/controls/screen_services.h"

namespace ledgerix {

class AboutScreen : public ScreenRules {
 public:
  std::string_view ScreenName() const override { return "AboutDialog"; }

  static constexpr char kProductName[] = "ТОЛВЕНА - Леджерикс";
  static constexpr char kVersionLine[] = "Версия: 2.3, Дата: 09.01.08";
  static constexpr char kNotice[] =
      "Учёт личных финансов: приход и расход по счетам, виды и категории, переводы, "
      "статистика, экспорт и архивы.\n\nДанные хранятся только на этом компьютере.";
};

}  // namespace ledgerix
