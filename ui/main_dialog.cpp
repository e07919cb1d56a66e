#include "ui/main_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <memory>

#include "ui/controls/device_dialog.h"
#include "ui/controls/image_button.h"
#include "ui/screen_parts.h"

namespace ledgerix {
namespace {

// Fills `menu` with `items`; every command reaches `on_command`.
template <class OnCommand>
void FillMenu(QMenu& menu, const std::vector<MenuItem>& items, const OnCommand& on_command) {
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      menu.addSeparator();
    } else if (item.IsPopup()) {
      FillMenu(*menu.addMenu(QString::fromStdString(item.text)), item.items, on_command);
    } else {
      const int id = item.command_id;
      QObject::connect(menu.addAction(QString::fromStdString(item.text)), &QAction::triggered,
                       &menu, [id, on_command] { on_command(id); });
    }
  }
}

// The drop-down of a picture button: its items send their ids through the button's Command.
std::unique_ptr<QMenu> DropDown(const std::vector<MenuItem>& items) {
  auto menu = std::make_unique<QMenu>();
  for (const MenuItem& item : items) {
    if (item.IsSeparator()) {
      menu->addSeparator();
    } else if (!item.IsPopup()) {
      ImageButton::AddCommand(*menu, QString::fromStdString(item.text), item.command_id);
    }
  }
  return menu;
}

ImageButton* NewHubButton(int bitmap, QWidget* parent) {
  auto* button = new ImageButton(parent);
  button->SetBitmaps(bitmap);
  (void)button->ApplyPreset(9);
  button->setFixedSize(96, 72);
  return button;
}

QLabel* NewCaption(const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text));
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setWordWrap(true);
  label->setFont(DeviceFont(11));
  return label;
}

}  // namespace

MainDialog::MainDialog(MainScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent), rules_(rules) {
  setWindowTitle(QStringLiteral("ТОЛВЕНА - Леджерикс"));
  const std::vector<MenuItem> bar = MainMenuBar();
  menu_bar_ = new QMenuBar(this);
  auto on_command = [this](int id) { OnCommand(id); };
  for (const MenuItem& popup : bar) {
    FillMenu(*menu_bar_->addMenu(QString::fromStdString(popup.text)), popup.items, on_command);
  }

  kinds_ = NewHubButton(143, this);
  management_ = NewHubButton(137, this);
  expenses_ = NewHubButton(136, this);
  income_ = NewHubButton(134, this);
  for (auto [button, items] :
       {std::pair{kinds_, KindsDropDown(bar)}, std::pair{management_, ManagementDropDown(bar)}}) {
    button->AttachMenu(DropDown(items), true);
    button->SetMenuBelow(true);
    connect(button, &ImageButton::Command, this, &MainDialog::OnCommand);
  }
  connect(expenses_, &ImageButton::clicked, this, [this] { OnCommand(kCommandExpenses); });
  connect(income_, &ImageButton::clicked, this, [this] { OnCommand(kCommandIncome); });
  close_ = NewCloseButton(this);
  connect(close_, &ImageButton::clicked, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(kinds_, 0, 0, Qt::AlignHCenter);
  grid->addWidget(management_, 0, 1, Qt::AlignHCenter);
  grid->addWidget(NewCaption("Предметы потребления"), 1, 0);
  grid->addWidget(NewCaption("Леджерикс"), 1, 1);
  grid->addWidget(expenses_, 2, 0, Qt::AlignHCenter);
  grid->addWidget(income_, 2, 1, Qt::AlignHCenter);
  grid->addWidget(NewCaption("Расход"), 3, 0);
  grid->addWidget(NewCaption("Приход"), 3, 1);
  auto* product = new QLabel(QStringLiteral("Леджерикс 2.3 для Linux"));
  product->setAlignment(Qt::AlignCenter);
  product->setFont(DeviceFont(11));

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar_);
  layout->addLayout(NewTitleLine(QStringLiteral("ТОЛВЕНА - Леджерикс"), close_));
  layout->addStretch();
  layout->addLayout(grid);
  layout->addStretch();
  layout->addWidget(product);
}

void MainDialog::OnCommand(int command_id) {
  if (rules_.RunCommand(command_id) == CommandOutcome::kCloseScreen) reject();
}

}  // namespace ledgerix
