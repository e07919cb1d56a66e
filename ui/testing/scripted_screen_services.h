#pragma once
// ScriptedScreenServices: the screen services of a test. Message boxes are answered from a queue
// and every one shown is recorded; a nested screen runs the test's script step for it, which
// acts on the screen's rules and answers its result code. A message box or a screen the script
// did not expect, and a scripted answer or step left unused, fail the test. Nothing blocks.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/controls/screen_services.h"

namespace ledgerix {

class ScriptedScreenServices : public ScreenServices {
 public:
  struct ShownMessage {
    std::string text;     // UTF-8
    std::string caption;  // UTF-8
    MessageButtons buttons;
    MessageIcon icon;
  };
  using ScreenStep = std::function<int(ScreenRules& rules)>;

  // Checks that every queued answer and step was used.
  ~ScriptedScreenServices() override;

  // The answer to the next message box.
  void AnswerNextMessage(MessageAnswer answer);
  // From now on every message box the queue does not answer is answered `answer` (and still
  // recorded): for loops in which a box may or may not come.
  void AnswerEveryMessage(MessageAnswer answer) { standing_answer_ = answer; }
  // The next nested screen must be the one named `name`; `step` acts on its rules and answers
  // its result code.
  void OnNextScreen(std::string name, ScreenStep step);
  // The same, with the rules already cast to their class (a screen of another class fails).
  template <class Rules>
  void OnNextScreenOf(std::string name, std::function<int(Rules&)> step) {
    OnNextScreen(std::move(name), [step = std::move(step)](ScreenRules& rules) {
      auto* typed = dynamic_cast<Rules*>(&rules);
      if (typed == nullptr) return FailWrongRules(rules);
      return step(*typed);
    });
  }

  const std::vector<ShownMessage>& messages() const { return messages_; }
  // The texts of the message boxes shown, in order (UTF-8).
  std::vector<std::string> MessageTexts() const;
  const std::vector<std::string>& screens_run() const { return screens_run_; }
  int wait_cursor_depth() const { return wait_cursor_depth_; }
  int wait_cursor_uses() const { return wait_cursor_uses_; }

  MessageAnswer ShowMessage(const DbString& text, const DbString& caption, MessageButtons buttons,
                            MessageIcon icon) override;
  int RunScreen(ScreenRules& rules) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;

 private:
  static int FailWrongRules(ScreenRules& rules);

  std::deque<MessageAnswer> answers_;
  std::optional<MessageAnswer> standing_answer_;
  std::deque<std::pair<std::string, ScreenStep>> steps_;
  std::vector<ShownMessage> messages_;
  std::vector<std::string> screens_run_;
  int wait_cursor_depth_ = 0;
  int wait_cursor_uses_ = 0;
};

}  // namespace ledgerix
