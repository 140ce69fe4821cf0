#include "shell/UiLocale.h"

#include <unicode/uloc.h>

#include <QDir>
#include <QFileInfo>

namespace lumatag::shell {

std::uint32_t LocaleIdOfName(const QString& name) {
  QString icuName = name;
  icuName.replace(QLatin1Char('-'), QLatin1Char('_'));
  const QByteArray bytes = icuName.toLatin1();
  return uloc_getLCID(bytes.constData());
}

std::vector<UiLocaleEntry> AvailableUiLocales(const QString& programFolder,
                                              const QString& programName) {
  std::vector<UiLocaleEntry> available;
  available.push_back({kEnglishLocale, QStringLiteral("en_US"), QString()});
  const QString tableName = programName + QStringLiteral(".txt");
  const QDir folder(programFolder);
  for (const QString& sub : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    const std::uint32_t lcid = LocaleIdOfName(sub);
    if (lcid == 0 || lcid == kEnglishLocale) continue;
    const QDir subfolder(folder.filePath(sub));
    for (const QString& file : subfolder.entryList(QDir::Files)) {
      if (file.compare(tableName, Qt::CaseInsensitive) == 0) {
        available.push_back({lcid, sub, subfolder.filePath(file)});
        break;
      }
    }
  }
  return available;
}

Status ChooseUiLocale(std::uint32_t wanted, const std::vector<UiLocaleEntry>& available,
                      const UiLocaleChooser& chooser, UiLocaleEntry* chosen) {
  if (wanted == kEnglishLocale || available.empty()) {
    *chosen = UiLocaleEntry{};
    return S_OK;
  }
  for (const UiLocaleEntry& entry : available) {
    if (entry.lcid == wanted) {
      *chosen = entry;
      return S_OK;
    }
  }
  if (available.size() == 1) {
    *chosen = available.front();
    return S_OK;
  }
  const int index = chooser ? chooser(available) : -1;
  if (index < 0 || index >= static_cast<int>(available.size())) return E_LOCALE_NOT_FOUND;
  *chosen = available[static_cast<std::size_t>(index)];
  return S_OK;
}

UiLocaleEntry FindUiLocale(std::uint32_t lcid, const std::vector<UiLocaleEntry>& available) {
  for (const UiLocaleEntry& entry : available) {
    if (entry.lcid == lcid) return entry;
  }
  return UiLocaleEntry{};
}

}  // namespace lumatag::shell
