#include "ui/export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/controls/qt_text.h"

namespace ledgerix {
namespace {

QComboBox* NewChoices(const std::vector<DbString>& texts, int selected) {
  auto* box = new QComboBox;
  for (const DbString& text : texts) box->addItem(ToQString(text));
  box->setCurrentIndex(selected);
  return box;
}

}  // namespace

ExportDialog::ExportDialog(ExportScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent), rules_(rules) {
  setWindowTitle(QStringLiteral("Введите имя файла"));
  rules_.Start();
  file_name_ = new QLineEdit(ToQString(rules_.request.file_name));
  folder_ = NewChoices(ExportScreen::Folders(), rules_.request.folder_index);
  file_type_ = NewChoices(ExportScreen::FileTypes(), rules_.request.type_index);
  with_header_ = new QCheckBox(QStringLiteral("Выгружать имена колонок"));
  with_header_->setChecked(rules_.request.with_header);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);

  auto* title = new QLabel(QStringLiteral("Введите имя файла"));
  title->setFont(DeviceFont(13, 700));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addWidget(new QLabel(QStringLiteral("Имя файла:")));
  layout->addWidget(file_name_);
  layout->addWidget(new QLabel(QStringLiteral("Каталог:")));
  layout->addWidget(folder_);
  layout->addWidget(new QLabel(QStringLiteral("Тип файла:")));
  layout->addWidget(file_type_);
  layout->addWidget(with_header_);
  layout->addStretch();
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::OnAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  file_name_->selectAll();
}

void ExportDialog::OnAccept() {
  rules_.request.file_name = ToDbString(file_name_->text());
  rules_.request.folder_index = folder_->currentIndex();
  rules_.request.type_index = file_type_->currentIndex();
  rules_.request.with_header = with_header_->isChecked();
  if (rules_.OnAccept()) accept();
}

}  // namespace ledgerix
