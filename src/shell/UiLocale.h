// The user-interface language. English is built in; a translated string table lives in a locale
// folder named after its locale ("de/strings.txt", "de_AT/strings.txt") inside one of the folders
// the program searches (beside it, or in the shared data folder of an installed program), the
// same tables that lumatag-cli uses. A folder named by a language alone serves every country of
// that language.
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
  QString name;       // "en_US", or the locale folder's name
  QString tablePath;  // empty for the built-in English table
};

// The locale number of a locale name ("de_DE", "de-DE", "de"); 0 when unknown.
std::uint32_t LocaleIdOfName(const QString& name);

// The file name of a locale folder's table.
inline constexpr char kLocaleTableName[] = "strings.txt";

// English first, then every locale folder in `searchFolders` that names a known locale and holds
// the table ("strings.txt", compared without regard to case). A locale found in an earlier search
// folder hides the same locale in later ones.
std::vector<UiLocaleEntry> AvailableUiLocales(const std::vector<QString>& searchFolders);

// The available entry for a locale number: the same locale, else one of the same language with
// no country or another country ("de" for de_AT); nothing when there is none.
const UiLocaleEntry* MatchUiLocale(std::uint32_t lcid, const std::vector<UiLocaleEntry>& available);

// Asks the person to pick one of the entries; returns its index, or -1 for no choice.
using UiLocaleChooser = std::function<int(const std::vector<UiLocaleEntry>& available)>;

// Chooses the locale for `wanted`: English at once; a wanted locale that is available (as
// MatchUiLocale finds it) without a question; otherwise the chooser decides when there is more than
// English to choose from, and English is taken when there is not. E_LOCALE_NOT_FOUND when the
// person made no choice.
Status ChooseUiLocale(std::uint32_t wanted, const std::vector<UiLocaleEntry>& available,
                      const UiLocaleChooser& chooser, UiLocaleEntry* chosen);

// The entry of a stored locale number (as MatchUiLocale finds it); English when it is not (or no
// longer) available.
UiLocaleEntry FindUiLocale(std::uint32_t lcid, const std::vector<UiLocaleEntry>& available);

}  // namespace lumatag::shell
