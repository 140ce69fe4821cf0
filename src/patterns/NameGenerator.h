// Generating a file name for a photo from a compiled pattern, and the small operations the naming
// workflow plans sequences with: the classification flags, the start value of a sequence and the
// metadata tags a pattern needs.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "metadata/IfdReader.h"
#include "metadata/PhotoFacts.h"
#include "patterns/DatePicture.h"
#include "patterns/NamingPattern.h"
#include "patterns/PhotoExtensionLookup.h"

namespace lumatag {

class PatternCatalogue;

// Stands for a value that is not available: an unknown original name, a missing metadata tag.
inline constexpr std::u16string_view kMissingValueText = u"--";
// What [1:orig] shows while a dialog previews a pattern on the sample photo "IMG_1234.JPG": a
// number that differs from the one in the sample's name, so the preview shows where it comes from.
inline constexpr std::uint32_t kPreviewOriginalNumber = 2134;
// Dates and numbers are rendered into a fixed string of this many characters.
inline constexpr int kGeneratedFieldCapacity = 64;
// NextMetadataTag's answer when no metadata token is left.
inline constexpr std::uint16_t kNoMetadataTag = 0xFFFF;

// The characters a file name cannot hold (the nine reserved ones and every control character);
// metadata texts have them replaced.
bool IsInvalidFileNameChar(char16_t c);
// The replacement of an invalid character in a metadata value of `type`: "-" for the rational
// types, "_" for every other type.
char16_t MetadataReplacementChar(std::uint16_t type);

// Where a name's extension starts: the index of the last "." among its last five characters, or
// -1 when there is none (so an extension has at most four characters).
int FindExtensionDot(std::u16string_view name);

// What generation needs of the program besides the pattern and the photo.
struct NamingEnvironment {
  // Its open dialog decides whether [1:orig] shows the preview number; none: no dialog open.
  const AppContext* app = nullptr;
  // Its Automatic pattern reads the number out of an original file name; none (or a catalogue
  // without an Automatic list): [1:orig] gives 0.
  const PatternCatalogue* catalogue = nullptr;
  // The photo file extension list the Automatic pattern checks names against; none: no
  // extension is a photo extension.
  const PhotoExtensionLookup* extensions = nullptr;
  // Dates are written in this locale; none: the user's default locale.
  const DateLocale* locale = nullptr;
};

// The proposed file name (no extension) of `photo` under `pattern`: the first clause when
// `firstPhoto` is set, else the last; auto numbers of a later photo take `sequenceNumber`. The
// output is cleared first and trimmed of white space at both ends, also after a failure.
// E_INVALIDARG for a missing photo, base name or output; E_INVALID_INPUT for a missing pattern or
// one without a compiled form; E_BUFFER_TOO_SMALL for a date rendering of more than 64
// characters; E_UNEXPECTED for a token of unknown kind. The first failing token ends the loop.
Status GenerateName(const NamingEnvironment& environment, const NamingPattern* pattern,
                    const PhotoFacts* photo, const CountedString* baseName, bool firstPhoto,
                    std::uint32_t sequenceNumber, CountedString* output);

// Writes the three classification flags together: named wins over the other two, original-found
// over original-is-current; at most one of them stays set.
void SetClassification(PhotoFacts* photo, bool originalIsCurrent, bool named, bool originalFound);

// The start value of the first auto-number token of the clause `firstPhoto` selects (the first
// clause when set, else the last); 0 and `*found` false when that clause has none or the pattern
// has no compiled form. `found` may be omitted.
std::uint32_t SequenceStart(const NamingPattern& pattern, bool firstPhoto, bool* found = nullptr);

// From `*position` in the token index of the whole definition, the tag of the next metadata
// token, with `*position` moved past it; kNoMetadataTag when none is left (`*position` is then
// past the last token). A pattern without a compiled form has no metadata tokens.
std::uint16_t NextMetadataTag(const NamingPattern& pattern, int* position);

// The quick-pass tag list of a folder scan: DateTimeOriginal (0x9003), Orientation (0x0112) and
// every tag a metadata token of a usable, not deleted pattern of the catalogue names, each once.
// The filter is cleared first; it is read in include mode.
Status BuildQuickPassTagList(const PatternCatalogue& catalogue, TagFilter* filter);

}  // namespace lumatag
