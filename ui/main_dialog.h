#pragma once
// MainDialog: the main screen ("ТОЛВЕНА - Леджерикс") over MainScreen: the menu bar, the four
// picture buttons (two of them with drop-down menus), their captions, the product line and the
// close button. Closing it ends the program.

#include <vector>

#include "ui/controls/device_dialog.h"
#include "ui/main_screen.h"

class QMenuBar;

namespace ledgerix {

class ImageButton;

class MainDialog : public DeviceDialog {
  Q_OBJECT

 public:
  MainDialog(MainScreen& rules, ScreenServices& services, QWidget* parent = nullptr);

  QMenuBar* menu_bar() const { return menu_bar_; }
  // The picture buttons by their command: kCommandIncomeKinds for "Предметы потребления",
  // kCommandStatistics for "Леджерикс", kCommandExpenses and kCommandIncome.
  ImageButton* kinds_button() const { return kinds_; }
  ImageButton* management_button() const { return management_; }
  ImageButton* expenses_button() const { return expenses_; }
  ImageButton* income_button() const { return income_; }
  ImageButton* close_button() const { return close_; }

 private:
  void OnCommand(int command_id);

  MainScreen& rules_;
  QMenuBar* menu_bar_;
  ImageButton* kinds_;
  ImageButton* management_;
  ImageButton* expenses_;
  ImageButton* income_;
  ImageButton* close_;
};

}  // namespace ledgerix
