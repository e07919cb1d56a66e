#include "ui/controls/qt_text.h"

#include <string_view>

#include "engine/code_page.h"

namespace ledgerix {

QString ToQString(const DbString& text) { return QString::fromUtf16(text.Wide()); }

QString BytesToQString(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  NarrowToWide(bytes.data(), reinterpret_cast<char16_t*>(text.data()), bytes.size());
  return text;
}

DbString ToDbString(const QString& text) {
  return DbString(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                      static_cast<size_t>(text.size())));
}

}  // namespace ledgerix
