#include "reports/report_cells.h"

namespace ledgerix {

ReportCells::ReportCells(std::initializer_list<std::string_view> texts) {
  for (std::string_view text : texts) push_back(text);
}

bool ReportCells::push_back(std::string_view text) {
  if (count_ == kMaxCells) return false;
  text_.append(text);
  ends_[count_++] = static_cast<uint32_t>(text_.size());
  text_.push_back('\0');
  return true;
}

std::string_view ReportCells::operator[](size_t i) const {
  if (i >= count_) return {};
  return std::string_view(text_).substr(Start(i), ends_[i] - Start(i));
}

const char* ReportCells::CStr(size_t i) const {
  if (i >= count_) return "";
  return text_.c_str() + Start(i);
}

bool ReportCells::operator==(const ReportCells& other) const {
  return count_ == other.count_ && text_ == other.text_;
}

}  // namespace ledgerix
