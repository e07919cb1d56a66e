#include "finance/exchange_scanner.h"

namespace ledgerix {

void ScanExchangeText(std::string_view text, ExchangeSink& sink) {
  std::string section_name;
  std::string value;
  std::vector<DbString> values;
  bool inside_section = false;
  for (char byte : text) {
    switch (byte) {
      case '[':
        section_name.assign(1, '[');
        inside_section = false;
        break;
      case ']':
        section_name += ']';
        sink.BeginSection(DbString(std::string_view(section_name)));
        inside_section = true;
        break;
      case ';':
        values.emplace_back(std::string_view(value));
        value.clear();
        break;
      case '\r':
      case '\n':
        if (!values.empty()) sink.Row(values);
        values.clear();
        // A value without its ";" is outside the format; carrying it into the next line's
        // first value would change a row that was written correctly.
        value.clear();
        break;
      default:
        if (inside_section) {
          value += byte;
        } else {
          section_name += byte;
        }
        break;
    }
  }
  // A last line without its line end still holds a whole row.
  if (!values.empty()) sink.Row(values);
}

}  // namespace ledgerix
