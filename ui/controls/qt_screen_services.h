#pragma once
// QtScreenServices: the screen services of the running program. Message boxes are QMessageBoxes
// over the active screen, nested screens are the dialogs registered for their rules, run with
// exec(), and the wait cursor is the application's override cursor.

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "ui/controls/screen_services.h"

class QWidget;

namespace ledgerix {

class QtScreenServices : public ScreenServices {
 public:
  // Builds the dialog of `rules` over `parent` (the active screen, or null), runs it modally and
  // answers its result code.
  using DialogRunner = std::function<int(ScreenRules& rules, QWidget* parent)>;

  // Registers the dialog that shows the rules named `name`; a later registration replaces it.
  void RegisterScreen(std::string_view name, DialogRunner run);

  // Registers Dialog (constructed as Dialog(Rules&, ScreenServices&, QWidget* parent)) for
  // rules of class Rules.
  template <class Rules, class Dialog>
  void RegisterDialog(std::string_view name) {
    RegisterScreen(name, [this](ScreenRules& rules, QWidget* parent) {
      auto* typed = dynamic_cast<Rules*>(&rules);
      if (typed == nullptr) return kScreenCancel;
      Dialog dialog(*typed, *this, parent);
      return dialog.exec();
    });
  }

  // The program is asked to end (a termination signal): closes every open screen and message
  // box as their cancelling command would. From then on no box or screen is shown: a box
  // answers its cancelling button at once and a screen kScreenCancel.
  void CloseAllScreens();
  bool closing() const { return closing_; }

  MessageAnswer ShowMessage(const DbString& text, const DbString& caption, MessageButtons buttons,
                            MessageIcon icon) override;
  int RunScreen(ScreenRules& rules) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  std::map<std::string, DialogRunner, std::less<>> screens_;
  bool closing_ = false;
};

}  // namespace ledgerix
