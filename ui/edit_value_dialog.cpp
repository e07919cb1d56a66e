#include "ui/edit_value_dialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/controls/qt_text.h"

namespace ledgerix {

EditValueDialog::EditValueDialog(EditValueScreen& rules, ScreenServices&, QWidget* parent)
    : DeviceDialog(parent), rules_(rules), text_(new QLineEdit(ToQString(rules.text), this)) {
  setWindowTitle(QStringLiteral("Изменить значение"));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addWidget(buttons);
  layout->addStretch();
  connect(buttons, &QDialogButtonBox::accepted, this, &EditValueDialog::OnAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  text_->selectAll();
}

void EditValueDialog::OnAccept() {
  rules_.text = ToDbString(text_->text());
  accept();
}

}  // namespace ledgerix
