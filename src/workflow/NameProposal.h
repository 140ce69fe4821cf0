// Generating names for the photos of the list: the proposal shown for a photo, and a name made
// unique among the photos of the list by advancing the sequence number. Nothing here talks to the
// person; the controller and the name check build on it.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/AppContext.h"
#include "foundation/CountedString.h"
#include "patterns/NameGenerator.h"
#include "patterns/PatternCatalogue.h"
#include "workflow/ExtensionListLookup.h"
#include "workflow/PhotoList.h"

namespace lumatag {

// The longest new name a photo can take, in characters; and in bytes where file systems count
// bytes of UTF-8.
inline constexpr int kMaxPhotoNameLength = 255;
// A name longer than a file name can be (also what the file system answers to one).
inline constexpr Status E_NAME_TOO_LONG = MakeStatus(0x800700CE);

// Position of the extension's dot: the last dot among the last five characters, with no folder
// separator or colon after it; -1 when there is none. So extensions have 1 to 4 characters.
int ExtensionDot(std::u16string_view name);
// The extension of a name without its dot; empty when it has none.
std::u16string_view ExtensionOf(std::u16string_view name);
// A plain file name: 1 to 255 characters, not "." or "..", none of \ / : * " ? < > | and no
// control character.
bool IsValidFileName(std::u16string_view name);
// Whether `name` is longer than a file name can be: more than 255 characters, or more than 255
// bytes as the file system stores it (UTF-8, a byte of a name that is not UTF-8 as that byte).
bool IsNameTooLong(std::u16string_view name);

// Names a photo cannot take beyond those of the other photos of the list: with companion files,
// a name whose companions' names are taken in the folder.
class NameGuard {
 public:
  virtual ~NameGuard() = default;
  virtual bool Blocks(int index, std::u16string_view name) const = 0;
};

class NameProposer {
 public:
  NameProposer(const AppContext& context, const PatternCatalogue& catalogue,
               const ExtensionList& extensions, PhotoList& list);

  const PhotoExtensionLookup& Lookup() const { return lookup_; }
  const NamingPattern* PatternAt(std::uint16_t index) const;
  // The sequence start of a pattern for the first photo or the others (0 for no pattern).
  std::uint32_t SequenceStartOf(std::uint16_t pattern, bool firstPhoto, bool* found) const;
  // GenerateName for a photo of the list, without an extension.
  Status Generate(int index, std::uint16_t pattern, int baseName, bool firstPhoto,
                  std::uint32_t number, CountedString& name) const;
  // The proposal for a photo with the photo's extension (empty when there is none);
  // E_BUFFER_TOO_SMALL when it is longer than a photo name can be.
  Status ProposeName(int index, std::uint16_t pattern, int baseName, std::uint32_t number,
                     CountedString& name) const;
  // Taken names beyond the photo list (none: only the list counts).
  void SetGuard(const NameGuard* guard) { guard_ = guard; }
  // The guard refuses the name for photo `index`.
  bool Blocked(int index, std::u16string_view name) const {
    return guard_ != nullptr && guard_->Blocks(index, name);
  }
  // The first name from `*number` on that no other photo of the list has (and the guard does not
  // refuse), with the photo's own extension; `*number` receives the number used.
  Status MakeUniqueName(CountedString& name, int index, std::uint16_t pattern, int baseName,
                        std::uint32_t* number) const;

 private:
  const PatternCatalogue& catalogue_;
  ExtensionListLookup lookup_;
  NamingEnvironment environment_;
  PhotoList& list_;
  const NameGuard* guard_ = nullptr;
};

}  // namespace lumatag
