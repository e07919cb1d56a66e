#pragma once
// The two printf-like formatters behind DbString::Format and DbString::FormatEx. Arguments are
// packed into FormatArg values, so a mismatched argument writes nothing instead of crashing.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace ledgerix {

class DbString;

// One argument of a format: an integer, a floating-point number, an 8-bit (Windows-1251) text
// or a 16-bit text. Texts are viewed, not copied: the argument lives for one format call.
class FormatArg {
 public:
  enum class Kind { kInteger, kFloat, kText, kWideText };

  template <std::integral T>
  FormatArg(T value) : kind_(Kind::kInteger), integer_(static_cast<int64_t>(value)) {}
  template <typename E>
  requires std::is_enum_v<E> FormatArg(E value)
      : FormatArg(static_cast<std::underlying_type_t<E>>(value)) {}
  template <std::floating_point T>
  FormatArg(T value) : kind_(Kind::kFloat), float_(static_cast<double>(value)) {}
  // A null text writes nothing.
  FormatArg(const char* text);
  FormatArg(const char16_t* text);
  FormatArg(std::nullptr_t) : kind_(Kind::kText) {}
  FormatArg(std::string_view text) : kind_(Kind::kText), text_(text) {}
  FormatArg(std::u16string_view text) : kind_(Kind::kWideText), wide_(text) {}
  FormatArg(const std::string& text) : FormatArg(std::string_view(text)) {}
  FormatArg(const DbString& text);

  Kind kind() const { return kind_; }
  int64_t integer() const { return integer_; }
  double floating() const { return float_; }
  std::string_view text() const { return text_; }
  std::u16string_view wide_text() const { return wide_; }

 private:
  Kind kind_;
  int64_t integer_ = 0;
  double float_ = 0;
  std::string_view text_;
  std::u16string_view wide_;
};

// The first formatter. Text outside conversions is copied. A conversion is "%", flags from
// "+ -0" (only "+" and " " have an effect), a width of digits or "*" and a precision ".digits"
// or ".*" (both ignored; each "*" consumes an argument), a length "h" (read the integer as
// unsigned 16-bit) or "l"/"L" (32-bit, the default), and a letter: "d"/"i" signed decimal,
// "u" unsigned decimal (always preceded by the "+" or " " flag's character), "s" text, "c" one
// byte, "x"/"X" hexadecimal, "%" a percent sign. An unknown letter is copied as written.
// Appends to *out; answers false, appending nothing, when fmt is null.
[[nodiscard]] bool FormatText(const char* fmt, std::span<const FormatArg> args, std::string* out);

// The second formatter. A conversion is "%", flags "+" (the number is signed) and "?"
// (ignored), width digits (a leading "0" pads with zeros, otherwise spaces on the left), a
// precision ".digits" (most bytes of a text, decimals of "F"/"f"), an optional base letter
// "B", "O", "X" or "x" for "I" and "L", and a type letter: "C" one byte of an integer, "I" an
// unsigned 16-bit number, "L" a signed 32-bit number, "s" an 8-bit text, "S" a 16-bit text
// converted to Windows-1251, "F"/"f" a fixed-point number (2 decimals unless given), "%" a
// percent sign. An unknown letter is copied as written. Appends to *out; answers false,
// appending nothing, when fmt is null.
[[nodiscard]] bool FormatTextEx(const char* fmt, std::span<const FormatArg> args, std::string* out);

}  // namespace ledgerix
