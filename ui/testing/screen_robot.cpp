#include "ui/testing/screen_robot.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

namespace ledgerix::testing {
namespace {

constexpr int kPollMs = 5;

// "ledgerix::EntryListDialog" answers "EntryListDialog".
std::string ClassOf(const QWidget& window) {
  const std::string name = window.metaObject()->className();
  const size_t colons = name.rfind("::");
  return colons == std::string::npos ? name : name.substr(colons + 2);
}

}  // namespace

ScreenRobot::~ScreenRobot() {
  for (const Step& step : steps_) {
    ADD_FAILURE() << "the robot never reached the step on " << step.window_class;
  }
}

void ScreenRobot::When(std::string window_class, Action action) {
  steps_.push_back({std::move(window_class), std::move(action)});
}

void ScreenRobot::Answer(const std::string& text_start_utf8, const std::string& button_utf8) {
  When("QMessageBox", [text_start_utf8, button_utf8](QWidget& window) {
    auto& box = static_cast<QMessageBox&>(window);
    EXPECT_TRUE(box.text().startsWith(QString::fromStdString(text_start_utf8)))
        << "the box says: " << box.text().toStdString();
    for (QAbstractButton* button : box.buttons()) {
      if (button->text() == QString::fromStdString(button_utf8)) {
        button->click();
        return;
      }
    }
    ADD_FAILURE() << "no button " << button_utf8 << " in the box " << box.text().toStdString();
    box.reject();
  });
}

void ScreenRobot::Start() { Schedule(); }

void ScreenRobot::Schedule() {
  if (steps_.empty() || given_up_) return;
  QTimer::singleShot(kPollMs, [this] { Poll(); });
}

void ScreenRobot::Poll() {
  if (steps_.empty() || given_up_) return;
  QWidget* active = QApplication::activeModalWidget();
  const Step& next = steps_.front();
  if (active == nullptr || next.window_class != ClassOf(*active) || !active->isVisible()) {
    waited_ms_ += kPollMs;
    if (waited_ms_ > timeout_ms_) {
      GiveUp(active);
      return;
    }
    Schedule();
    return;
  }
  Step step = std::move(steps_.front());
  steps_.pop_front();
  waited_ms_ = 0;
  done_.push_back(step.window_class);
  // The next poll is due before the action runs: an action that opens a window blocks in that
  // window's loop, where the next steps must run.
  Schedule();
  step.action(*active);
}

void ScreenRobot::GiveUp(const QWidget* active) {
  given_up_ = true;
  std::string history;
  for (const std::string& name : done_) history += name + " ";
  ADD_FAILURE() << "waited in vain for " << steps_.front().window_class << "; the active window is "
                << (active != nullptr ? ClassOf(*active) : std::string("none"))
                << "; done so far: " << history;
  steps_.clear();
  // Close everything, innermost first, until no window is left.
  QTimer::singleShot(0, [] {
    for (int round = 0; round < 20; ++round) {
      QWidget* open = QApplication::activeModalWidget();
      auto* dialog = qobject_cast<QDialog*>(open);
      if (dialog == nullptr) return;
      dialog->reject();
      QApplication::processEvents();
    }
  });
}

}  // namespace ledgerix::testing
