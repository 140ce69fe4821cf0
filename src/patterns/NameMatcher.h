// Reading an existing file name back against a pattern: whether the pattern could have produced
// it for this photo, and if so where the base name stands, which sequence number it carries and
// how well it fits. Also the fixed test for a camera-generated name.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/CountedString.h"
#include "foundation/ElementArray.h"
#include "metadata/PhotoFacts.h"
#include "patterns/DatePicture.h"
#include "patterns/NamingPattern.h"
#include "patterns/PhotoExtensionLookup.h"

namespace lumatag {

class PatternCatalogue;

// Length of a camera-generated name: eight characters, a dot and a three-character extension
// (or fewer extension characters after a dot placed later; see IsCameraGeneratedName).
inline constexpr int kCameraNameLength = 12;
// The characters of a camera name before its extension.
inline constexpr int kCameraStemLength = 8;
// FindBestPattern's index when no pattern matched.
inline constexpr std::uint16_t kNoPatternMatched = 0xFFFF;

// The outputs of one match; every field is 0 when the name did not match.
struct NameMatch {
  bool matched = false;
  // Tokens that matched; the base-name token counts once.
  std::uint32_t rank = 0;
  // Over every matched number token: digits read minus the token's minimum digits.
  std::uint32_t cost = 0;
  // The base name inside the file name; both 0 without a base-name token or with an empty base.
  std::uint16_t baseStart = 0;
  std::uint16_t baseLength = 0;
  // The sequence number read, 0 when none.
  std::uint32_t number = 0;
};

// Whether `fileName` looks like a name a camera gave: exactly 12 characters; an extension after a
// dot among the last five characters that `extensions` lists; four characters that are "_" or a
// letter or digit; then four digits, or "G" and three digits after exactly "_RIM". `number`, when
// given, receives the digits before the dot (0 when the name does not match). Without an
// extension lookup no name matches.
bool IsCameraGeneratedName(std::u16string_view fileName, const PhotoExtensionLookup* extensions,
                           std::uint32_t* number = nullptr);

// Whether `pattern` is the Automatic pattern: built in, with the definition of one space.
bool IsAutomaticPattern(const NamingPattern& pattern);

// Reads `fileName` (with its extension) against `pattern` for `photo`. On the Automatic pattern
// this is the camera-name test (rank 2 on a match). Otherwise the clauses are tried largest
// first and read from both ends towards the base name. Finding an embedded camera name for a
// photo marked named replaces the photo's original file name and marks it original-found; that
// update stays even when the clause fails afterwards. Dates are rendered in `locale` (none: the
// user's default). E_INVALIDARG for a missing pattern, photo, file name or result; a pattern that
// is neither Automatic nor compiled gives E_INVALID_INPUT; E_OUTOFMEMORY when an embedded camera
// name cannot be stored. A date that cannot be rendered fails its token. No match is success
// with every output 0.
Status MatchName(const NamingPattern* pattern, PhotoFacts* photo, const CountedString* fileName,
                 const PhotoExtensionLookup* extensions, NameMatch* result,
                 const DateLocale* locale = nullptr);

// A list of patterns as FindBestPattern walks it, by index: the catalogue's naming patterns, its
// Automatic list, or any array of patterns.
class PatternListView {
 public:
  static PatternListView Naming(const PatternCatalogue& catalogue);
  static PatternListView AutomaticList(const PatternCatalogue& catalogue);
  explicit PatternListView(const ElementArray<NamingPattern>& patterns) : array_(&patterns) {}

  int Count() const;
  const NamingPattern& At(int index) const;

 private:
  PatternListView() = default;
  const ElementArray<NamingPattern>* array_ = nullptr;
  const PatternCatalogue* catalogue_ = nullptr;
  bool automatic_ = false;
};

// The best match of FindBestPattern.
struct BestPattern {
  std::uint16_t index = kNoPatternMatched;
  std::uint16_t baseStart = 0;
  std::uint16_t baseLength = 0;
  std::uint32_t number = 0;
};

// Matches `fileName` against every pattern of `list` that is neither deleted nor marked not
// usable, in list order, and keeps the best: a match without a base name wins at once and ends
// the search; otherwise a higher rank wins, then on equal rank a lower cost or a shorter base
// name, and on a full tie a user pattern beats a built-in one. A pattern whose match fails
// counts as not matching, except that running out of memory ends the search with E_OUTOFMEMORY.
// E_INVALIDARG for a missing list, photo, file name or result.
Status FindBestPattern(const PatternListView* list, PhotoFacts* photo,
                       const CountedString* fileName, const PhotoExtensionLookup* extensions,
                       BestPattern* result, const DateLocale* locale = nullptr);

}  // namespace lumatag
