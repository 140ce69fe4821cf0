// The user-interface language. English is built in; a translated string table lives in a
// subfolder of the program's folder named after its locale ("de_DE/lumatag.txt").
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/Status.h"

namespace lumatag::shell {

inline constexpr std::uint32_t kEnglishLocale = 0x409;
// No locale was chosen.
inline constexpr Status E_LOCALE_NOT_FOUND = static_cast<Status>(0x80070490);

struct UiLocaleEntry {
  std::uint32_t lcid = kEnglishLocale;
  QString name;       // "en_US", or the subfolder's name
  QString tablePath;  // empty for the built-in English table
};

// The locale number of a locale name ("de_DE", "de-DE", "de"); 0 when unknown.
std::uint32_t LocaleIdOfName(const QString& name);

// English first, then every subfolder of `programFolder` that holds the table named like the
// program (`programName` + ".txt", compared without regard to case) and names a known locale.
std::vector<UiLocaleEntry> AvailableUiLocales(const QString& programFolder,
                                              const QString& programName);

// Asks the person to pick one of the entries; returns its index, or -1 for no choice.
using UiLocaleChooser = std::function<int(const std::vector<UiLocaleEntry>& available)>;

// Chooses the locale for `wanted`: English at once; a wanted locale that is available without a
// question; otherwise the chooser decides when there is more than English to choose from, and
// English is taken when there is not. E_LOCALE_NOT_FOUND when the person made no choice.
Status ChooseUiLocale(std::uint32_t wanted, const std::vector<UiLocaleEntry>& available,
                      const UiLocaleChooser& chooser, UiLocaleEntry* chosen);

// The entry of a stored locale number; English when it is not (or no longer) available.
UiLocaleEntry FindUiLocale(std::uint32_t lcid, const std::vector<UiLocaleEntry>& available);

}  // namespace lumatag::shell
