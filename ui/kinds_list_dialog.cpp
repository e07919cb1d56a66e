#include "ui/kinds_list_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/controls/device_screen.h"
#include "ui/controls/edit_list.h"
#include "ui/controls/image_button.h"
#include "ui/controls/picture_loader.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {

KindsListDialog::KindsListDialog(KindsListScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent),
      rules_(rules),
      categories_(new QComboBox),
      search_(new QLineEdit),
      list_(new EditList) {
  setWindowIcon(LoadIcon(rules_.direction() == 1 ? 150 : 151));
  ImageButton* close = NewCloseButton(this);
  ImageButton* find = NewPictureButton(142, this);
  ImageButton* add = NewPictureButton(149, this);
  ImageButton* edit = NewPictureButton(150, this);
  ImageButton* remove = NewPictureButton(151, this);
  ImageButton* choose = NewTextButton(QStringLiteral("Выбрать"), this);
  choose->setVisible(rules_.ChooseMode());

  auto* filters = new QGridLayout;
  filters->addWidget(new QLabel(QStringLiteral("Категория:")), 0, 0);
  filters->addWidget(categories_, 0, 1, 1, 2);
  filters->addWidget(new QLabel(QStringLiteral("Поиск:")), 1, 0);
  filters->addWidget(search_, 1, 1);
  filters->addWidget(find, 1, 2);
  filters->setColumnStretch(1, 1);
  auto* commands = new QHBoxLayout;
  commands->addWidget(add);
  commands->addWidget(edit);
  commands->addWidget(remove);
  commands->addStretch();
  commands->addWidget(choose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(NewTitleLine(ToQString(rules_.Caption()), close));
  layout->addLayout(filters);
  layout->addWidget(list_, 1);
  layout->addLayout(commands);

  BuildColumns();
  rules_.Start(*list_);
  ShowCategories();
  ShowMark();
  connect(categories_, &QComboBox::activated, this, &KindsListDialog::OnCategoryChanged);
  connect(find, &ImageButton::clicked, this, &KindsListDialog::OnFind);
  connect(add, &ImageButton::clicked, this, &KindsListDialog::OnAdd);
  connect(edit, &ImageButton::clicked, this, &KindsListDialog::OnEdit);
  connect(remove, &ImageButton::clicked, this, &KindsListDialog::OnDelete);
  connect(choose, &ImageButton::clicked, this, &KindsListDialog::OnChoose);
  connect(list_, &EditList::DoubleTapNotTaken, this, &KindsListDialog::OnChoose);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void KindsListDialog::BuildColumns() {
  const int w = kDeviceWidth - 8 - 4;  // the list inside the screen's margins and frame
  list_->InsertColumn(0, "N.", 2 * w / 10);
  list_->InsertColumn(1, FromUtf8("Наименование"), 5 * w / 10);
  list_->InsertColumn(2, FromUtf8("Цена"), 3 * w / 10, Qt::AlignRight);
}

void KindsListDialog::ShowCategories() {
  const QSignalBlocker quiet(categories_);
  categories_->clear();
  for (const KindsListScreen::Category& category : rules_.categories()) {
    categories_->addItem(ToQString(category.text));
  }
  categories_->setCurrentIndex(rules_.selected_category());
}

void KindsListDialog::ShowMark() {
  list_->SetSelectionMark(rules_.selection_mark());
  list_->setFocus();
}

void KindsListDialog::TakeMark() { rules_.SetSelectionMark(list_->SelectionMark()); }

void KindsListDialog::OnCategoryChanged(int index) {
  rules_.OnCategoryChanged(index);
  ShowMark();
}

void KindsListDialog::OnFind() {
  TakeMark();
  rules_.OnFind(ToDbString(search_->text()));
  ShowMark();
}

void KindsListDialog::OnAdd() {
  rules_.OnAdd();
  ShowCategories();
  ShowMark();
}

void KindsListDialog::OnEdit() {
  TakeMark();
  rules_.OnEdit();
  ShowCategories();
  ShowMark();
}

void KindsListDialog::OnDelete() {
  TakeMark();
  rules_.OnDelete();
  ShowCategories();
  ShowMark();
}

void KindsListDialog::OnChoose() {
  TakeMark();
  if (rules_.OnChoose()) {
    accept();
    return;
  }
  ShowCategories();
  ShowMark();
}

}  // namespace ledgerix
