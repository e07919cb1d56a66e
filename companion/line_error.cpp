#include "companion/line_error.h"

namespace ledgerix {

std::string LineError::Text() const { return "строка " + std::to_string(line) + ": " + reason; }

}  // namespace ledgerix
