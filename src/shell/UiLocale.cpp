#include "shell/UiLocale.h"

#include <unicode/uloc.h>

#include <algorithm>

#include <QDir>
#include <QFileInfo>

namespace lumatag::shell {

std::uint32_t LocaleIdOfName(const QString& name) {
  QString icuName = name;
  icuName.replace(QLatin1Char('-'), QLatin1Char('_'));
  const QByteArray bytes = icuName.toLatin1();
  return uloc_getLCID(bytes.constData());
}

std::vector<UiLocaleEntry> AvailableUiLocales(const std::vector<QString>& searchFolders) {
  std::vector<UiLocaleEntry> available;
  available.push_back({kEnglishLocale, QStringLiteral("en_US"), QString()});
  const QString tableName = QString::fromLatin1(kLocaleTableName);
  for (const QString& searchFolder : searchFolders) {
    const QDir folder(searchFolder);
    for (const QString& sub : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
      const std::uint32_t lcid = LocaleIdOfName(sub);
      if (lcid == 0 || lcid == kEnglishLocale) continue;
      const bool known = std::any_of(available.begin(), available.end(),
                                     [lcid](const UiLocaleEntry& e) { return e.lcid == lcid; });
      if (known) continue;
      const QDir subfolder(folder.filePath(sub));
      for (const QString& file : subfolder.entryList(QDir::Files)) {
        if (file.compare(tableName, Qt::CaseInsensitive) == 0) {
          available.push_back({lcid, sub, subfolder.filePath(file)});
          break;
        }
      }
    }
  }
  return available;
}

const UiLocaleEntry* MatchUiLocale(std::uint32_t lcid,
                                   const std::vector<UiLocaleEntry>& available) {
  for (const UiLocaleEntry& entry : available) {
    if (entry.lcid == lcid) return &entry;
  }
  // The language alone: the low ten bits of a locale number.
  constexpr std::uint32_t kLanguageBits = 0x3FF;
  const UiLocaleEntry* sameLanguage = nullptr;
  for (const UiLocaleEntry& entry : available) {
    if ((entry.lcid & kLanguageBits) != (lcid & kLanguageBits)) continue;
    // A folder of the language alone ("de") comes before another country's ("de_CH").
    if (sameLanguage == nullptr || (entry.lcid & ~kLanguageBits) == 0) sameLanguage = &entry;
  }
  return sameLanguage;
}

Status ChooseUiLocale(std::uint32_t wanted, const std::vector<UiLocaleEntry>& available,
                      const UiLocaleChooser& chooser, UiLocaleEntry* chosen) {
  if (wanted == kEnglishLocale || available.empty()) {
    *chosen = UiLocaleEntry{};
    return S_OK;
  }
  if (const UiLocaleEntry* found = MatchUiLocale(wanted, available)) {
    *chosen = *found;
    return S_OK;
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
  const UiLocaleEntry* found = MatchUiLocale(lcid, available);
  return found != nullptr ? *found : UiLocaleEntry{};
}

}  // namespace lumatag::shell
