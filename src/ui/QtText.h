// Text between the program's UTF-16 strings and Qt's QString, and string-table texts as QStrings.
#pragma once

#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/CountedString.h"
#include "foundation/StringTable.h"

namespace lumatag::ui {

inline QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
inline QString ToQString(const CountedString& text) {
  return ToQString(text.View());
}
inline std::u16string ToU16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Loads an entry and fills its placeholders "{1}", "{2}", ... in order with `arguments`.
Status LoadText(const StringModule& module, std::uint16_t id, QString* text,
                std::initializer_list<QString> arguments = {});
// The entry's text, or an empty text when it is missing.
QString TableText(const StringModule& module, std::uint16_t id);

}  // namespace lumatag::ui
