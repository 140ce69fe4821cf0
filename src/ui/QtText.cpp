#include "ui/QtText.h"

namespace lumatag::ui {

Status LoadText(const StringModule& module, std::uint16_t id, QString* text,
                std::initializer_list<QString> arguments) {
  CountedString entry;
  LT_TRY(LoadString(module, id, entry));
  int n = 1;
  for (const QString& argument : arguments) {
    LT_TRY(SubstitutePlaceholder(entry, n++, ToU16(argument)));
  }
  *text = ToQString(entry);
  return S_OK;
}

QString TableText(const StringModule& module, std::uint16_t id) {
  return ToQString(module.Text(id));
}

}  // namespace lumatag::ui
