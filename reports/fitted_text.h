#pragma once
// FittedText: a copy of a text in a block exactly as large as the text. A DbString grows in
// steps of 200 bytes, which for the tens of thousands of cells of a long report would cost
// several times the memory of the texts themselves.

#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

// The bytes in a new DbString whose capacity is their length plus the terminator.
inline DbString FittedText(std::string_view bytes) {
  DbString text(static_cast<uint32_t>(bytes.size() + 1));
  text.AppendBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return text;
}

}  // namespace ledgerix
