#include "ui/controls/qt_screen_services.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "ui/controls/qt_text.h"

namespace ledgerix {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

struct ButtonChoice {
  MessageAnswer answer;
  const char* text_utf8;
  QMessageBox::ButtonRole role;
};

std::vector<ButtonChoice> ButtonsOf(MessageButtons buttons) {
  const ButtonChoice ok{MessageAnswer::kOk, "OK", QMessageBox::AcceptRole};
  const ButtonChoice cancel{MessageAnswer::kCancel, "Отмена", QMessageBox::RejectRole};
  const ButtonChoice yes{MessageAnswer::kYes, "Да", QMessageBox::YesRole};
  const ButtonChoice no{MessageAnswer::kNo, "Нет", QMessageBox::NoRole};
  switch (buttons) {
    case MessageButtons::kOkCancel:
      return {ok, cancel};
    case MessageButtons::kYesNo:
      return {yes, no};
    case MessageButtons::kYesNoCancel:
      return {yes, no, cancel};
    case MessageButtons::kOk:
      break;
  }
  return {ok};
}

}  // namespace

void QtScreenServices::RegisterScreen(std::string_view name, DialogRunner run) {
  screens_.insert_or_assign(std::string(name), std::move(run));
}

void QtScreenServices::CloseAllScreens() {
  closing_ = true;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(widget);
    if (dialog != nullptr && dialog->isVisible()) dialog->reject();
  }
}

MessageAnswer QtScreenServices::ShowMessage(const DbString& text, const DbString& caption,
                                            MessageButtons buttons, MessageIcon icon) {
  if (closing_) return ButtonsOf(buttons).back().answer;
  QMessageBox box(ToQtIcon(icon), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                  QApplication::activeModalWidget());
  const std::vector<ButtonChoice> choices = ButtonsOf(buttons);
  std::vector<QAbstractButton*> made;
  for (const ButtonChoice& choice : choices) {
    made.push_back(box.addButton(QString::fromUtf8(choice.text_utf8), choice.role));
  }
  // Closing the box without a button presses its last button: Cancel, No, or OK alone.
  box.setEscapeButton(made.back());
  box.exec();
  for (size_t i = 0; i < made.size(); ++i) {
    if (box.clickedButton() == made[i]) return choices[i].answer;
  }
  return choices.back().answer;
}

int QtScreenServices::RunScreen(ScreenRules& rules) {
  auto found = screens_.find(rules.ScreenName());
  if (found == screens_.end() || closing_) return kScreenCancel;
  return found->second(rules, QApplication::activeModalWidget());
}

void QtScreenServices::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtScreenServices::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace ledgerix
