#pragma once
// ScreenServices: what a screen's rules ask of the person and of the platform: a message box, a
// nested modal screen and the wait cursor. The program shows them with Qt (QtScreenServices);
// tests answer them from a script (ScriptedScreenServices), so no test waits in a modal loop.
// Plain C++: the rules of every screen use it without Qt.

#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MessageIcon { kNone, kInformation, kQuestion, kWarning, kError };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// The result codes of a modal screen closed by its OK and Cancel commands.
inline constexpr int kScreenOk = 1;
inline constexpr int kScreenCancel = 2;

// The rules of a screen that another screen runs modally: the plain object its dialog shows.
// The caller owns it and reads from it what the person chose once the screen has closed. The
// dialog starts the rules (their Start) when it opens; a test's script step does the same.
class ScreenRules {
 public:
  virtual ~ScreenRules() = default;
  // The dialog's class name ("KindsListDialog"): it picks the dialog that shows these rules
  // and names the screen in a test's script.
  virtual std::string_view ScreenName() const = 0;
};

class ScreenServices {
 public:
  virtual ~ScreenServices() = default;

  // Shows `text` under `caption` (both Windows-1251) with the buttons and icon given and answers
  // the button pressed. A box closed without a button answers its cancelling button: kCancel
  // when the set has one, kNo for Yes / No, kOk for OK alone.
  virtual MessageAnswer ShowMessage(const DbString& text, const DbString& caption,
                                    MessageButtons buttons, MessageIcon icon) = 0;

  // Runs the screen of `rules` modally over the current one and answers its result code
  // (kScreenOk, kScreenCancel or the screen's own); kScreenCancel when no screen shows rules of
  // that name. `rules` stays the caller's.
  virtual int RunScreen(ScreenRules& rules) = 0;

  // The wait cursor while a long operation runs; the calls nest, the last End restores the
  // pointer. Use WaitCursor rather than the pair.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
};

// Shows the wait cursor for its lifetime.
class WaitCursor {
 public:
  explicit WaitCursor(ScreenServices& services) : services_(services) {
    services_.BeginWaitCursor();
  }
  ~WaitCursor() { services_.EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  ScreenServices& services_;
};

}  // namespace ledgerix
