#include "ui/controls/qt_text.h"

#include <string_view>

namespace ledgerix {

QString ToQString(const DbString& text) { return QString::fromUtf16(text.Wide()); }

DbString ToDbString(const QString& text) {
  return DbString(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                      static_cast<size_t>(text.size())));
}

}  // namespace ledgerix
