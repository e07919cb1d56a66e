#pragma once
// ScreenRobot: acts in the screens of a running program as a person would, step by step, while
// the program sits in its modal loops. Each step waits until the active modal window is the one
// it names (a dialog class such as "EntryListDialog", or "QMessageBox") and then acts on it. The
// robot polls with a fresh single-shot timer each time, so it keeps working inside every nested
// loop an action opens. A step that waits too long fails the test and closes every window, so a
// test never hangs.

#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

namespace ledgerix::testing {

class ScreenRobot {
 public:
  using Action = std::function<void(QWidget& window)>;

  // Waits at most `timeout_ms` for each step's window.
  explicit ScreenRobot(int timeout_ms = 10000) : timeout_ms_(timeout_ms) {}
  // Fails the test for every step left undone.
  ~ScreenRobot();

  // When the active modal window's class is `window_class`, runs `action` on it.
  void When(std::string window_class, Action action);
  // When a message box is up whose text starts with `text_start_utf8`, presses its button
  // `button_utf8`.
  void Answer(const std::string& text_start_utf8, const std::string& button_utf8);

  // Starts polling (call before the program enters its first modal loop).
  void Start();
  bool done() const { return steps_.empty(); }

 private:
  struct Step {
    std::string window_class;
    Action action;
  };
  void Schedule();
  void Poll();
  // Fails the waiting step and closes every window.
  void GiveUp(const QWidget* active);

  std::deque<Step> steps_;
  int timeout_ms_;
  int waited_ms_ = 0;
  bool given_up_ = false;
  std::deque<std::string> done_;  // what ran, for the failure message
};

}  // namespace ledgerix::testing
