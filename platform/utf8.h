#pragma once
// Conversion between the platform's 16-bit text (UTF-16) and the host's UTF-8 file names.

#include <string>
#include <string_view>

namespace ledgerix::platform {

// Converts UTF-16 to UTF-8 into *out. Answers false (and leaves *out unspecified) when the text
// holds an unpaired surrogate, which no host file name can carry.
[[nodiscard]] bool Utf16ToUtf8(std::u16string_view text, std::string* out);

// Converts UTF-8 to UTF-16 into *out. Answers false on malformed UTF-8 (bad sequences, overlong
// forms, surrogates or values past U+10FFFF).
[[nodiscard]] bool Utf8ToUtf16(std::string_view text, std::u16string* out);

}  // namespace ledgerix::platform
