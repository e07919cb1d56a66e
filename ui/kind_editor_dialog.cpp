#include "ui/kind_editor_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/controls/colour_ref.h"
#include "ui/controls/image_button.h"
#include "ui/controls/number_edit.h"
#include "ui/controls/qt_text.h"
#include "ui/screen_parts.h"

namespace ledgerix {
namespace {

// The light yellow behind the editor's choices and labels.
constexpr uint32_t kChoiceBackground = 0x0080FFFF;

QWidget* OnYellow(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, FromColourRef(kChoiceBackground));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
  return widget;
}

}  // namespace

KindEditorDialog::KindEditorDialog(KindEditorScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent),
      rules_(rules),
      name_(new QLineEdit),
      choose_(new QRadioButton(QStringLiteral("Выбрать"))),
      create_(new QRadioButton(QStringLiteral("Создать"))),
      categories_(new QComboBox),
      new_category_(new QLineEdit),
      price_(new NumberEdit) {
  rules_.Start();
  auto* grid = new QGridLayout;
  grid->addWidget(OnYellow(new QLabel(QStringLiteral("Наименование:"))), 0, 0, 1, 2);
  grid->addWidget(name_, 1, 0, 1, 2);
  grid->addWidget(OnYellow(new QLabel(QStringLiteral("Категория:"))), 2, 0, 1, 2);
  grid->addWidget(OnYellow(choose_), 3, 0);
  grid->addWidget(categories_, 3, 1);
  grid->addWidget(OnYellow(create_), 4, 0);
  grid->addWidget(new_category_, 4, 1);
  grid->addWidget(OnYellow(new QLabel(QStringLiteral("Стоимость по умолчанию:"))), 5, 0, 1, 2);
  grid->addWidget(price_, 6, 0, 1, 2);
  auto* accept = new QPushButton(QStringLiteral("Принять"));
  auto* cancel = new QPushButton(QStringLiteral("Отменить"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(accept);
  buttons->addWidget(cancel);
  ImageButton* close = NewCloseButton(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(NewTitleLine(QStringLiteral("Вид"), close));
  layout->addLayout(grid);
  layout->addStretch();
  layout->addLayout(buttons);

  name_->setText(ToQString(rules_.name));
  for (const DbString& category : rules_.categories()) categories_->addItem(ToQString(category));
  categories_->setCurrentIndex(rules_.selected_category);
  price_->SetDecimals(2);
  price_->setText(ToQString(rules_.price_text).remove(QLatin1Char(',')));
  choose_->setChecked(true);
  OnModeChanged();
  connect(choose_, &QRadioButton::toggled, this, &KindEditorDialog::OnModeChanged);
  connect(accept, &QPushButton::clicked, this, &KindEditorDialog::OnAccept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(close, &ImageButton::clicked, this, &QDialog::reject);
}

void KindEditorDialog::ReadControls() {
  rules_.name = ToDbString(name_->text());
  rules_.create_category = create_->isChecked();
  rules_.selected_category = categories_->currentIndex();
  rules_.new_category = ToDbString(new_category_->text());
  rules_.price_text = ToDbString(price_->text());
}

void KindEditorDialog::OnModeChanged() {
  categories_->setEnabled(choose_->isChecked());
  new_category_->setEnabled(create_->isChecked());
}

void KindEditorDialog::OnAccept() {
  ReadControls();
  if (rules_.OnAccept()) accept();
}

}  // namespace ledgerix
