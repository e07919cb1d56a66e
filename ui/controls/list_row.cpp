#include "ui/controls/list_row.h"

namespace ledgerix {
namespace {

// A cell holds text up to its first 0 byte, as the platform's list shows it.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

ListRow::ListRow(std::string_view first_cell, int image, int64_t data) : image(image), data(data) {
  AppendCell(first_cell);
}

size_t ListRow::Start(size_t i) const {
  size_t start = 0;
  for (; i > 0; --i) start = text_.find('\0', start) + 1;
  return start;
}

std::string_view ListRow::Cell(size_t i) const {
  if (i >= count_) return {};
  const size_t start = Start(i);
  return std::string_view(text_).substr(start, text_.find('\0', start) - start);
}

const char* ListRow::CStr(size_t i) const { return i < count_ ? text_.c_str() + Start(i) : ""; }

void ListRow::AppendCell(std::string_view text) {
  text_.append(UpToNul(text));
  text_.push_back('\0');
  ++count_;
}

void ListRow::SetCell(size_t i, std::string_view text) {
  while (count_ < i) AppendCell({});
  if (count_ == i) {
    AppendCell(text);
    return;
  }
  const size_t start = Start(i);
  text_.replace(start, text_.find('\0', start) - start, UpToNul(text));
}

void ListRow::InsertCell(size_t i) {
  if (i >= count_) return;
  text_.insert(Start(i), 1, '\0');
  ++count_;
}

void ListRow::RemoveCell(size_t i) {
  if (i >= count_) return;
  const size_t start = Start(i);
  text_.erase(start, text_.find('\0', start) - start + 1);
  --count_;
}

}  // namespace ledgerix
