#include "engine/text_format.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>

#include "engine/code_page.h"
#include "engine/db_string.h"

namespace ledgerix {

FormatArg::FormatArg(const char* text)
    : kind_(Kind::kText), text_(text != nullptr ? std::string_view(text) : std::string_view()) {}

FormatArg::FormatArg(const char16_t* text)
    : kind_(Kind::kWideText),
      wide_(text != nullptr ? std::u16string_view(text) : std::u16string_view()) {}

FormatArg::FormatArg(const DbString& text) : kind_(Kind::kText), text_(text.View()) {}

namespace {

// Widths beyond this are taken as this: a format is program text, but a slip in one must not
// ask for gigabytes.
constexpr size_t kMaxFieldWidth = 1000;
constexpr int kDefaultFixedDecimals = 2;
constexpr int kMaxFixedDecimals = 40;

// Hands out the arguments in order; a conversion past the last one gets null.
class ArgReader {
 public:
  explicit ArgReader(std::span<const FormatArg> args) : args_(args) {}
  const FormatArg* Next() { return next_ < args_.size() ? &args_[next_++] : nullptr; }

 private:
  std::span<const FormatArg> args_;
  size_t next_ = 0;
};

std::optional<int64_t> IntegerOf(const FormatArg* arg) {
  if (arg == nullptr || arg->kind() != FormatArg::Kind::kInteger) return std::nullopt;
  return arg->integer();
}

void AppendInteger(int64_t value, int base, bool upper, std::string* out) {
  std::array<char, 72> digits;
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, base);
  for (char* c = digits.data(); c != result.ptr; ++c) {
    out->push_back(upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c);
  }
}

void AppendByte(const FormatArg* arg, std::string* out) {
  const auto value = IntegerOf(arg);
  // A 0 byte would end the text early wherever it is read as NUL-terminated.
  if (value && static_cast<char>(*value) != '\0') out->push_back(static_cast<char>(*value));
}

// Appends an 8-bit text as it is, or a 16-bit text converted to Windows-1251; at most
// max_bytes of it. Anything but a text writes nothing.
void AppendText(const FormatArg* arg, size_t max_bytes, std::string* out) {
  if (arg == nullptr) return;
  if (arg->kind() == FormatArg::Kind::kText) {
    out->append(arg->text().substr(0, max_bytes));
  } else if (arg->kind() == FormatArg::Kind::kWideText) {
    const std::u16string_view wide = arg->wide_text();
    std::string narrow(wide.size(), '\0');
    narrow.resize(WideToNarrow(wide.data(), narrow.data(), wide.size()));
    out->append(std::string_view(narrow).substr(0, max_bytes));
  }
}

void AppendFixed(const FormatArg* arg, int decimals, std::string* out) {
  if (arg == nullptr) return;
  double value = 0;
  if (arg->kind() == FormatArg::Kind::kFloat) {
    value = arg->floating();
  } else if (arg->kind() == FormatArg::Kind::kInteger) {
    value = static_cast<double>(arg->integer());
  } else {
    return;
  }
  std::array<char, 400> digits;
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                    std::chars_format::fixed, decimals);
  if (result.ec == std::errc()) out->append(digits.data(), result.ptr);
}

size_t ReadNumber(const char** p) {
  size_t value = 0;
  for (; std::isdigit(static_cast<unsigned char>(**p)); ++*p) {
    value = std::min(value * 10 + static_cast<size_t>(**p - '0'), kMaxFieldWidth);
  }
  return value;
}

// A width or precision of the first formatter: digits, or "*" taking an argument.
void SkipCount(const char** p, ArgReader& args) {
  if (**p == '*') {
    ++*p;
    args.Next();
  } else {
    ReadNumber(p);
  }
}

// Formats the conversion that starts at the "%" at `start`; answers where the text goes on.
const char* BasicConversion(const char* start, ArgReader& args, std::string* out) {
  const char* p = start + 1;
  char sign = '\0';
  for (; *p == '+' || *p == ' ' || *p == '-' || *p == '0'; ++p) {
    if (*p == '+' || (*p == ' ' && sign == '\0')) sign = *p;
  }
  SkipCount(&p, args);
  if (*p == '.') {
    ++p;
    SkipCount(&p, args);
  }
  bool short_length = false;
  if (*p == 'h') {
    short_length = true;
    ++p;
  } else if (*p == 'l' || *p == 'L') {
    ++p;
  }
  const char letter = *p;
  if (letter == '\0') {
    out->append(start);
    return p;
  }
  ++p;
  switch (letter) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X': {
      const auto value = IntegerOf(args.Next());
      if (!value) break;
      const bool is_signed = letter == 'd' || letter == 'i';
      int64_t number = short_length ? static_cast<int64_t>(static_cast<uint16_t>(*value))
                       : is_signed  ? static_cast<int64_t>(static_cast<int32_t>(*value))
                                    : static_cast<int64_t>(static_cast<uint32_t>(*value));
      if (sign != '\0' && (number >= 0 || !is_signed)) out->push_back(sign);
      const bool hex = letter == 'x' || letter == 'X';
      AppendInteger(number, hex ? 16 : 10, letter == 'X', out);
      break;
    }
    case 's':
      AppendText(args.Next(), std::string::npos, out);
      break;
    case 'c':
      AppendByte(args.Next(), out);
      break;
    case '%':
      out->push_back('%');
      break;
    default:
      out->append(start, p);
  }
  return p;
}

bool IsExTypeLetter(char c) {
  return c == 'C' || c == 'I' || c == 'L' || c == 's' || c == 'S' || c == 'F' || c == 'f';
}

// The base letter of the second formatter; 0 when `c` is none.
int BaseOfLetter(char c) {
  switch (c) {
    case 'B':
      return 2;
    case 'O':
      return 8;
    case 'X':
    case 'x':
      return 16;
    default:
      return 0;
  }
}

// Right-aligns `field` in `width`, zero padding going after a leading "-".
void AppendPadded(const std::string& field, size_t width, char pad, std::string* out) {
  if (field.size() >= width) {
    out->append(field);
    return;
  }
  size_t sign_length = (pad == '0' && !field.empty() && field[0] == '-') ? 1 : 0;
  out->append(field, 0, sign_length);
  out->append(width - field.size(), pad);
  out->append(field, sign_length);
}

const char* ExConversion(const char* start, ArgReader& args, std::string* out) {
  const char* p = start + 1;
  bool is_signed = false;
  for (; *p == '+' || *p == '?'; ++p) is_signed = is_signed || *p == '+';
  const char pad = *p == '0' ? '0' : ' ';
  const size_t width = ReadNumber(&p);
  std::optional<size_t> precision;
  if (*p == '.') {
    ++p;
    precision = ReadNumber(&p);
  }
  int base = 10;
  bool upper = true;
  if (BaseOfLetter(*p) != 0 && IsExTypeLetter(p[1])) {
    base = BaseOfLetter(*p);
    upper = *p != 'x';
    ++p;
  }
  const char letter = *p;
  if (letter == '\0') {
    out->append(start);
    return p;
  }
  ++p;
  std::string field;
  switch (letter) {
    case 'C':
      AppendByte(args.Next(), &field);
      break;
    case 'I':
    case 'L': {
      const auto value = IntegerOf(args.Next());
      if (!value) break;
      int64_t number = 0;
      if (letter == 'I' && is_signed) {
        number = static_cast<int16_t>(*value);
      } else if (letter == 'I') {
        number = static_cast<uint16_t>(*value);
      } else if (base == 10) {
        number = static_cast<int32_t>(*value);
      } else {
        number = static_cast<uint32_t>(*value);  // other bases show the bit pattern
      }
      AppendInteger(number, base, upper, &field);
      break;
    }
    case 's':
    case 'S':
      AppendText(args.Next(), precision.value_or(std::string::npos), &field);
      break;
    case 'F':
    case 'f':
      AppendFixed(args.Next(),
                  static_cast<int>(std::min<size_t>(precision.value_or(kDefaultFixedDecimals),
                                                    kMaxFixedDecimals)),
                  &field);
      break;
    case '%':
      field.push_back('%');
      break;
    default:
      out->append(start, p);
      return p;
  }
  AppendPadded(field, width, pad, out);
  return p;
}

using Conversion = const char* (*)(const char*, ArgReader&, std::string*);

bool FormatWith(Conversion conversion, const char* fmt, std::span<const FormatArg> args,
                std::string* out) {
  if (fmt == nullptr || out == nullptr) return false;
  ArgReader reader(args);
  const char* p = fmt;
  while (*p != '\0') {
    if (*p == '%') {
      p = conversion(p, reader, out);
    } else {
      out->push_back(*p++);
    }
  }
  return true;
}

}  // namespace

bool FormatText(const char* fmt, std::span<const FormatArg> args, std::string* out) {
  return FormatWith(BasicConversion, fmt, args, out);
}

bool FormatTextEx(const char* fmt, std::span<const FormatArg> args, std::string* out) {
  return FormatWith(ExConversion, fmt, args, out);
}

}  // namespace ledgerix
