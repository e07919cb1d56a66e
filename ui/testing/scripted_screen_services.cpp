#include "ui/testing/scripted_screen_services.h"

#include <gtest/gtest.h>

#include <utility>

namespace ledgerix {
namespace {

// What a box closed without a button answers.
MessageAnswer CancellingAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kYesNo:
      return MessageAnswer::kNo;
    case MessageButtons::kOkCancel:
    case MessageButtons::kYesNoCancel:
      break;
  }
  return MessageAnswer::kCancel;
}

}  // namespace

ScriptedScreenServices::~ScriptedScreenServices() {
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " message box answer(s) never used";
  for (const auto& step : steps_) ADD_FAILURE() << "screen never run: " << step.first;
  EXPECT_EQ(wait_cursor_depth_, 0) << "the wait cursor was left on";
}

void ScriptedScreenServices::AnswerNextMessage(MessageAnswer answer) { answers_.push_back(answer); }

void ScriptedScreenServices::OnNextScreen(std::string name, ScreenStep step) {
  steps_.emplace_back(std::move(name), std::move(step));
}

std::vector<std::string> ScriptedScreenServices::MessageTexts() const {
  std::vector<std::string> texts;
  for (const ShownMessage& message : messages_) texts.push_back(message.text);
  return texts;
}

MessageAnswer ScriptedScreenServices::ShowMessage(const DbString& text, const DbString& caption,
                                                  MessageButtons buttons, MessageIcon icon) {
  messages_.push_back({ToUtf8(text), ToUtf8(caption), buttons, icon});
  if (answers_.empty() && standing_answer_) return *standing_answer_;
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box \"" << messages_.back().text << "\" ("
                  << messages_.back().caption << ")";
    return CancellingAnswer(buttons);
  }
  const MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

int ScriptedScreenServices::RunScreen(ScreenRules& rules) {
  const std::string name(rules.ScreenName());
  screens_run_.push_back(name);
  if (steps_.empty() || steps_.front().first != name) {
    ADD_FAILURE() << "unexpected screen " << name
                  << (steps_.empty() ? std::string() : ", expected " + steps_.front().first);
    if (!steps_.empty()) steps_.pop_front();  // one failure for one wrong screen
    return kScreenCancel;
  }
  ScreenStep step = std::move(steps_.front().second);
  steps_.pop_front();
  return step(rules);
}

void ScriptedScreenServices::BeginWaitCursor() {
  ++wait_cursor_depth_;
  ++wait_cursor_uses_;
}

void ScriptedScreenServices::EndWaitCursor() {
  EXPECT_GT(wait_cursor_depth_, 0) << "wait cursor ended more often than begun";
  --wait_cursor_depth_;
}

int ScriptedScreenServices::FailWrongRules(ScreenRules& rules) {
  ADD_FAILURE() << "screen " << rules.ScreenName() << " has rules of another class";
  return kScreenCancel;
}

}  // namespace ledgerix
