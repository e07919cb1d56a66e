#pragma once
// NumberKeys: the keystroke rules of the fixed-point number editor, kept apart from the widget so
// they can be checked without a display. The editor's text is integer digits, ".", and exactly
// N decimal digits; every key keeps it in that form, so "." never moves and a decimal place is
// overwritten (or zeroed) rather than inserted or removed.

#include <string>
#include <string_view>

namespace ledgerix {

// The editor's text and selection. Positions are character indexes into `text`; nothing is
// selected when sel_begin == sel_end, which is then the caret.
struct NumberKeyState {
  std::string text;
  int sel_begin = 0;
  int sel_end = 0;
};

class NumberKeys {
 public:
  // `decimals` is N, at least 1 (a smaller value is taken as 1).
  explicit NumberKeys(int decimals = 2);

  // Every operation below first brings the state into the editor's form: a text that is not
  // integer digits, "." and N decimals is read as a number (see Normalised) and the selection is
  // clamped into the text and ordered. After a taken key nothing is selected and the caret
  // stands at sel_begin == sel_end.

  // A typed character. A digit goes into the number (inserted into the integer part, or
  // overwriting a decimal place); ".", ",", "-" and "/" move the caret to the first decimal
  // place. Answers false for any other character, which is ignored: `state` is left as it was.
  bool TypeChar(NumberKeyState& state, char c) const;

  // Backspace and Delete. Without a selection they remove an integer digit or zero a decimal
  // place beside the caret; with one, selected integer digits are removed (at least "0" is left)
  // and selected decimal places become "0". Always taken, even when nothing changes.
  void Backspace(NumberKeyState& state) const;
  void DeleteKey(NumberKeyState& state) const;

  // Pasted text, taken only when it is a plain number: digits with at most one "." or "," and
  // at most N decimals, spaces anywhere (as in "1 234,5"). It then replaces the whole text,
  // written in the editor's form, and the caret goes to the end. Answers false, leaving `state`
  // as it was, for any other text.
  bool Paste(NumberKeyState& state, std::string_view pasted) const;

  // Whether `text` is in the editor's form: at least one digit, ".", N digits.
  bool IsInForm(std::string_view text) const;

  // `text` read as a number the way a committed cell is read, and written in the editor's form:
  // the last "." or "," separates the decimals, other characters are skipped, a missing integer
  // part is "0", decimals beyond N are cut and missing ones are "0". "1,234.5" gives "1234.50",
  // "" gives "0.00", "abc" gives "0.00".
  std::string Normalised(std::string_view text) const;

 private:
  // Brings `state` into the editor's form (see above); answers the index of ".".
  int Prepare(NumberKeyState& state) const;
  // Backspace or Delete over a selection; `dot` is the index of ".".
  void ClearSelection(NumberKeyState& state, int dot) const;

  int decimals_;
};

// The text an editor with `decimals` decimals starts with: "0." and that many zeros ("0.00"
// for 2); empty for 0.
std::string ZeroNumberText(int decimals);

}  // namespace ledgerix
