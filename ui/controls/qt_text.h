#pragma once
// The one crossing between the program's Windows-1251 text and Qt's UTF-16 text. Every
// character of Windows-1251 survives the round trip; one it cannot hold becomes "?".

#include <QString>
#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

QString ToQString(const DbString& text);
// The same for Windows-1251 bytes held elsewhere (a list's cells), without a DbString between.
QString BytesToQString(std::string_view bytes);
DbString ToDbString(const QString& text);

}  // namespace ledgerix
