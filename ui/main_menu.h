#pragma once
// The main screen's command menu as plain data: the menu bar in full, and the two drop-downs of
// the main screen's picture buttons that are cut from a copy of it. Plain C++: the dialog builds
// Qt menus from it, tests read it.

#include <string>
#include <vector>

namespace ledgerix {

// The main screen's commands: menu items and buttons hand these ids to MainScreen::RunCommand.
inline constexpr int kCommandIncomeKinds = 32771;
inline constexpr int kCommandExpenseKinds = 32772;
inline constexpr int kCommandExpenses = 1001;
inline constexpr int kCommandIncome = 1002;
inline constexpr int kCommandExit = 2;
inline constexpr int kCommandStatistics = 32776;
inline constexpr int kCommandArchives = 32799;
inline constexpr int kCommandClearAll = 32798;
inline constexpr int kCommandAccounts = 32794;
inline constexpr int kCommandTransfer = 32800;
inline constexpr int kCommandAbout = 32778;
inline constexpr int kCommandUpdates = 32795;

// One entry of a menu: a command (text and id), a separator (no text, id 0), or a sub-menu
// (text, id 0 and its items).
struct MenuItem {
  std::string text;  // UTF-8
  int command_id = 0;
  std::vector<MenuItem> items;

  bool IsSeparator() const { return text.empty(); }
  bool IsPopup() const { return !items.empty(); }
};

// The menu bar: "Функции", "Управление" and "Помощь" with every item.
std::vector<MenuItem> MainMenuBar();

// Button "Предметы потребления"'s drop-down: the first item's sub-menu of the bar's first popup.
// Empty when `bar` has no such sub-menu.
std::vector<MenuItem> KindsDropDown(const std::vector<MenuItem>& bar);

// Button "Леджерикс"'s drop-down: the bar's second popup without "Счета" and then without the
// item at position 1, twice: "Статистика", a separator, "Перевод между счетами". Empty when
// `bar` has no second popup.
std::vector<MenuItem> ManagementDropDown(const std::vector<MenuItem>& bar);

}  // namespace ledgerix
