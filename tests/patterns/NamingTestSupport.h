// Shared set-up of the naming tests: compiled patterns, photo records with metadata, an extension
// list and a fixed date locale.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/PhotoFacts.h"
#include "patterns/DatePicture.h"
#include "patterns/NameGenerator.h"
#include "patterns/PatternCatalogue.h"
#include "patterns/PatternTestSupport.h"
#include "patterns/PhotoExtensionLookup.h"

namespace lumatag {

// A photo file extension list compared without regard to ASCII case.
class ListedExtensions final : public PhotoExtensionLookup {
 public:
  ListedExtensions(std::initializer_list<std::u16string_view> extensions);
  bool IsPhotoExtension(std::u16string_view extension) const override;

 private:
  std::vector<std::u16string> extensions_;
};

// 2013-03-04 05:06:07, a Monday.
inline constexpr SystemTime kFileDate{2013, 3, 1, 4, 5, 6, 7, 0};

class NamingTest : public PatternTest {
 protected:
  NamingTest();

  // A pattern compiled from `definition`; a test fails when it does not compile.
  NamingPattern Pattern(std::u16string_view definition, bool builtIn = false);
  // A photo named `fileName` (also its original name) with the file date kFileDate and no
  // metadata; its classification flags are all clear.
  void SetupPhoto(PhotoFacts& photo, std::u16string_view fileName);
  void AddAscii(PhotoFacts& photo, std::uint16_t tag, std::string_view text);
  void AddRational(PhotoFacts& photo, std::uint16_t tag, std::uint32_t numerator,
                   std::uint32_t denominator);
  void AddShort(PhotoFacts& photo, std::uint16_t tag, std::uint16_t value);

  // The name `pattern` gives the photo, or the status text of the failure.
  std::u16string Generate(const NamingPattern& pattern, const PhotoFacts& photo,
                          std::u16string_view baseName, bool firstPhoto, std::uint32_t number);

  DateLocale locale_;
  ListedExtensions extensions_{u"JPG", u"JPE", u"TIF"};
  PatternCatalogue catalogue_;
  NamingEnvironment environment_;
};

}  // namespace lumatag
