// The program's hub: the main screen, the drop-down of its "Леджерикс" button, the updates
// notice and the about box; and the small renaming dialog the accounts editor opens.
#include <QMenu>
#include <QPainter>
#include <algorithm>

#include "screenshots/scene.h"
#include "screenshots/screen_world.h"
#include "ui/about_dialog.h"
#include "ui/controls/image_button.h"
#include "ui/edit_value_dialog.h"
#include "ui/main_dialog.h"
#include "ui/updates_dialog.h"

namespace ledgerix {
namespace {

std::unique_ptr<MainDialog> NewMainDialog() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& rules = world.Keep(std::make_unique<MainScreen>(&world.db(), world.state(), world.env(),
                                                        world.clock(), world.services()));
  return std::make_unique<MainDialog>(rules, world.services());
}

std::unique_ptr<QWidget> Main() { return NewMainDialog(); }

// A popup menu is a window of its own; the scene paints it over the screen below its button.
class ScreenWithMenu : public QWidget {
 public:
  explicit ScreenWithMenu(std::unique_ptr<MainDialog> dialog) : dialog_(std::move(dialog)) {
    setFixedSize(dialog_->size());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    dialog_->show();
    painter.drawPixmap(0, 0, dialog_->grab());
    QMenu* menu = dialog_->management_button()->Menu();
    menu->adjustSize();
    QPoint below = dialog_->management_button()->geometry().bottomLeft();
    below.setX(std::min(below.x(), width() - menu->width()));
    painter.drawPixmap(below, menu->grab());
  }

 private:
  std::unique_ptr<MainDialog> dialog_;
};

std::unique_ptr<QWidget> MainWithDropDown() {
  return std::make_unique<ScreenWithMenu>(NewMainDialog());
}

std::unique_ptr<QWidget> Updates() {
  ScreenWorld& world = ScreenWorld::Get();
  world.state().current_info_page = 0;
  auto& rules = world.Keep(std::make_unique<UpdatesScreen>(world.state()));
  return std::make_unique<UpdatesDialog>(rules, world.services());
}

std::unique_ptr<QWidget> About() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& rules = world.Keep(std::make_unique<AboutScreen>());
  return std::make_unique<AboutDialog>(rules, world.services());
}

// The accounts editor's renaming dialog, on the seeded account's name.
std::unique_ptr<QWidget> EditValue() {
  ScreenWorld& world = ScreenWorld::Get();
  auto& rules = world.Keep(std::make_unique<EditValueScreen>(FromUtf8("Кредитная карта")));
  return std::make_unique<EditValueDialog>(rules, world.services());
}

}  // namespace

void AddMainScreenScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"main_screen", Main});
  scenes.push_back({"main_screen_drop_down", MainWithDropDown});
  scenes.push_back({"updates", Updates});
  scenes.push_back({"about", About});
  scenes.push_back({"edit_value", EditValue});
}

}  // namespace ledgerix
