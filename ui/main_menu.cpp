#include "ui/main_menu.h"

#include <algorithm>

namespace ledgerix {
namespace {

MenuItem Command(const char* text, int id) { return MenuItem{text, id, {}}; }
MenuItem Separator() { return MenuItem{}; }
MenuItem Popup(const char* text, std::vector<MenuItem> items) {
  return MenuItem{text, 0, std::move(items)};
}

}  // namespace

std::vector<MenuItem> MainMenuBar() {
  return {
      Popup("Функции",
            {Popup("Предметы потребления", {Command("Виды доходов", kCommandIncomeKinds),
                                            Command("Виды расходов", kCommandExpenseKinds)}),
             Separator(), Command("Добавить в расход", kCommandExpenses),
             Command("Добавить в приход", kCommandIncome), Separator(),
             Command("Выход", kCommandExit)}),
      Popup("Управление", {Command("Статистика", kCommandStatistics), Separator(),
                           Popup("Данные", {Command("Обмен данными", kCommandArchives),
                                            Command("Очистить все", kCommandClearAll)}),
                           Command("Счета", kCommandAccounts), Separator(),
                           Command("Перевод между счетами", kCommandTransfer)}),
      Popup("Помощь", {Command("О программе", kCommandAbout), Separator(),
                       Command("Обновления ...", kCommandUpdates)}),
  };
}

std::vector<MenuItem> KindsDropDown(const std::vector<MenuItem>& bar) {
  if (bar.empty() || bar[0].items.empty()) return {};
  return bar[0].items[0].items;
}

std::vector<MenuItem> ManagementDropDown(const std::vector<MenuItem>& bar) {
  if (bar.size() < 2) return {};
  std::vector<MenuItem> items = bar[1].items;
  std::erase_if(items, [](const MenuItem& item) { return item.command_id == kCommandAccounts; });
  for (int i = 0; i < 2 && items.size() > 1; ++i) items.erase(items.begin() + 1);
  return items;
}

}  // namespace ledgerix
