#include <QLabel>

#include "screenshots/scene.h"
#include "ui/controls/device_dialog.h"
#include "ui/controls/number_edit.h"

namespace ledgerix {
namespace {

// A labelled number field of the dialog, with two decimals and `text`.
NumberEdit* AddField(QWidget& dialog, int top, const QString& label, const QString& text) {
  auto* caption = new QLabel(label, &dialog);  // owned by the dialog
  caption->move(8, top);
  auto* edit = new NumberEdit(&dialog);
  edit->setGeometry(8, top + 18, 224, 22);
  edit->SetDecimals(2);
  edit->setText(text);
  return edit;
}

// The transfer amounts being typed: the amount opened from "71,234.50" with its thousands
// selected, the commission still at its starting text.
std::unique_ptr<QWidget> NumberEditScene() {
  auto dialog = std::make_unique<DeviceDialog>();
  NumberEdit* amount =
      AddField(*dialog, 40, QStringLiteral("Сумма перевода:"), QStringLiteral("71234.50"));
  AddField(*dialog, 90, QStringLiteral("Комиссия:"), QStringLiteral("0.00"));
  amount->setFocus();
  amount->setSelection(1, 4);
  return dialog;
}

}  // namespace

void AddNumberEditScenes(std::vector<Scene>& scenes) {
  scenes.push_back({"number_edit", NumberEditScene});
}

}  // namespace ledgerix
