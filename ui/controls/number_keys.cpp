#include "ui/controls/number_keys.h"

#include <algorithm>
#include <utility>

namespace ledgerix {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Spaces a copied number may carry: grouping, a trailing line end.
bool IsPasteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\xA0'; }

void SetCaret(NumberKeyState& state, int position) {
  state.sel_begin = position;
  state.sel_end = position;
}

}  // namespace

NumberKeys::NumberKeys(int decimals) : decimals_(std::max(decimals, 1)) {}

bool NumberKeys::TypeChar(NumberKeyState& state, char c) const {
  const bool digit = IsDigit(c);
  if (!digit && c != '.' && c != ',' && c != '-' && c != '/') return false;
  int dot = Prepare(state);
  if (!digit) {
    SetCaret(state, dot + 1);
    return true;
  }
  std::string& text = state.text;
  const int begin = state.sel_begin;
  int end = state.sel_end;
  if (begin <= dot) {
    // Typing over the integer part: a selection reaching into the decimals zeroes them, the
    // selected integer digits go.
    if (end > dot) {
      text.replace(dot + 1, decimals_, decimals_, '0');
      end = dot;
    }
    text.erase(begin, end - begin);
  } else {
    std::fill(text.begin() + begin, text.begin() + end, '0');
  }
  dot = static_cast<int>(text.size()) - decimals_ - 1;
  int at = begin;
  if (begin > dot) {
    // A decimal place is overwritten; at the end of the text, the last one.
    if (at == static_cast<int>(text.size())) --at;
    text[at] = c;
  } else if (dot == 1 && text[0] == '0') {
    at = 0;  // a lone "0" in front of "." is replaced, never left leading
    text[0] = c;
  } else {
    text.insert(text.begin() + at, c);
  }
  SetCaret(state, at + 1);
  return true;
}

void NumberKeys::Backspace(NumberKeyState& state) const {
  const int dot = Prepare(state);
  if (state.sel_begin < state.sel_end) {
    ClearSelection(state, dot);
    return;
  }
  std::string& text = state.text;
  const int caret = state.sel_begin;
  if (caret > dot + 1) {
    text[caret - 1] = '0';
    SetCaret(state, caret - 1);
  } else if (caret == 0) {
    // nothing before the caret
  } else if (dot == 1) {
    // The only integer digit stays, as "0"; the caret steps over "." without touching it.
    if (caret == 1) text[0] = '0';
    SetCaret(state, caret - 1);
  } else {
    // Just after "." the last integer digit goes and the caret stays in front of ".".
    const int at = caret == dot + 1 ? dot - 1 : caret - 1;
    text.erase(at, 1);
    SetCaret(state, at);
  }
}

void NumberKeys::DeleteKey(NumberKeyState& state) const {
  const int dot = Prepare(state);
  if (state.sel_begin < state.sel_end) {
    ClearSelection(state, dot);
    return;
  }
  std::string& text = state.text;
  int caret = state.sel_begin;
  if (caret == static_cast<int>(text.size())) --caret;
  if (caret > dot) {
    text[caret] = '0';
    SetCaret(state, caret + 1);
  } else if (caret == dot) {
    // In front of "." the first decimal place is zeroed, whatever the integer part's length.
    text[dot + 1] = '0';
    SetCaret(state, dot + 2);
  } else if (dot == 1) {
    text[0] = '0';
    SetCaret(state, 1);
  } else {
    text.erase(caret, 1);
    SetCaret(state, caret);
  }
}

void NumberKeys::ClearSelection(NumberKeyState& state, int dot) const {
  std::string& text = state.text;
  const int begin = state.sel_begin;
  for (int i = std::max(begin, dot + 1); i < state.sel_end; ++i) text[i] = '0';
  const int integer_end = std::min(state.sel_end, dot);
  if (begin < integer_end) {
    if (integer_end - begin == dot) {
      text.replace(0, dot, "0");  // the whole integer part: "0" is left
    } else {
      text.erase(begin, integer_end - begin);
    }
  }
  SetCaret(state, begin);
}

bool NumberKeys::Paste(NumberKeyState& state, std::string_view pasted) const {
  int digits = 0;
  int separators = 0;
  int decimals = 0;
  for (const char c : pasted) {
    if (IsDigit(c)) {
      ++digits;
      if (separators > 0) ++decimals;
    } else if (c == '.' || c == ',') {
      ++separators;
    } else if (!IsPasteSpace(c)) {
      return false;
    }
  }
  if (digits == 0 || separators > 1 || decimals > decimals_) return false;
  state.text = Normalised(pasted);
  SetCaret(state, static_cast<int>(state.text.size()));
  return true;
}

bool NumberKeys::IsInForm(std::string_view text) const {
  const int dot = static_cast<int>(text.size()) - decimals_ - 1;
  if (dot < 1 || text[dot] != '.') return false;
  for (int i = 0; i < static_cast<int>(text.size()); ++i) {
    if (i != dot && !IsDigit(text[i])) return false;
  }
  return true;
}

std::string NumberKeys::Normalised(std::string_view text) const {
  const size_t separator = text.find_last_of(".,");
  std::string whole;
  std::string fraction;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsDigit(text[i])) continue;
    (separator != std::string_view::npos && i > separator ? fraction : whole).push_back(text[i]);
  }
  if (whole.empty()) whole = "0";
  fraction.resize(decimals_, '0');
  return whole + "." + fraction;
}

int NumberKeys::Prepare(NumberKeyState& state) const {
  if (!IsInForm(state.text)) state.text = Normalised(state.text);
  const int length = static_cast<int>(state.text.size());
  state.sel_begin = std::clamp(state.sel_begin, 0, length);
  state.sel_end = std::clamp(state.sel_end, 0, length);
  if (state.sel_begin > state.sel_end) std::swap(state.sel_begin, state.sel_end);
  return length - decimals_ - 1;
}

std::string ZeroNumberText(int decimals) {
  if (decimals <= 0) return std::string();
  return "0." + std::string(decimals, '0');
}

}  // namespace ledgerix
