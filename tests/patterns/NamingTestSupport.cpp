#include "patterns/NamingTestSupport.h"

#include <algorithm>

#include "metadata/MetadataEntry.h"

namespace lumatag {

namespace {

std::u16string Lower(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return lower;
}

}  // namespace

ListedExtensions::ListedExtensions(std::initializer_list<std::u16string_view> extensions) {
  for (std::u16string_view extension : extensions) extensions_.push_back(Lower(extension));
}

bool ListedExtensions::IsPhotoExtension(std::u16string_view extension) const {
  return std::find(extensions_.begin(), extensions_.end(), Lower(extension)) != extensions_.end();
}

NamingTest::NamingTest() {
  EXPECT_OK(DateLocale::FromName("en-US", &locale_));
  EXPECT_OK(catalogue_.BuildBuiltIns(context_, &keywords_));
  EXPECT_OK(catalogue_.BuildAutomaticList(context_));
  environment_.app = &context_;
  environment_.catalogue = &catalogue_;
  environment_.extensions = &extensions_;
  environment_.locale = &locale_;
}

NamingPattern NamingTest::Pattern(std::u16string_view definition, bool builtIn) {
  NamingPattern pattern(context_.heap, &keywords_);
  EXPECT_OK(pattern.name.Assign(definition));
  EXPECT_OK(pattern.definition.Assign(definition));
  EXPECT_OK(Compile(pattern, definition)) << Utf16ToUtf8(definition);
  if (builtIn) pattern.flags |= kPatternBuiltIn;
  return pattern;
}

void NamingTest::SetupPhoto(PhotoFacts& photo, std::u16string_view fileName) {
  const std::u16string name(fileName);
  ASSERT_OK(SetupPhotoFacts(&photo, context_.heap, name.c_str(), kFileDate, kNoPatternIndex, 0));
  photo.flags = 0;
}

void NamingTest::AddAscii(PhotoFacts& photo, std::uint16_t tag, std::string_view text) {
  const std::string value(text);
  ASSERT_OK(AddMetadataValue(&photo, tag, kTypeAscii, static_cast<std::uint32_t>(value.size() + 1),
                             value.c_str(), StringModule::BuiltIn()));
}

void NamingTest::AddRational(PhotoFacts& photo, std::uint16_t tag, std::uint32_t numerator,
                             std::uint32_t denominator) {
  const std::uint32_t value[2] = {numerator, denominator};
  ASSERT_OK(AddMetadataValue(&photo, tag, kTypeRational, 1, value, StringModule::BuiltIn()));
}

void NamingTest::AddShort(PhotoFacts& photo, std::uint16_t tag, std::uint16_t value) {
  ASSERT_OK(AddMetadataValue(&photo, tag, kTypeShort, 1, &value, StringModule::BuiltIn()));
}

std::u16string NamingTest::Generate(const NamingPattern& pattern, const PhotoFacts& photo,
                                    std::u16string_view baseName, bool firstPhoto,
                                    std::uint32_t number) {
  CountedString base;
  CountedString output;
  EXPECT_OK(base.Assign(baseName));
  const Status status =
      GenerateName(environment_, &pattern, &photo, &base, firstPhoto, number, &output);
  if (Failed(status)) return u"! " + Utf8ToUtf16(StatusName(status));
  return std::u16string(output.View());
}

}  // namespace lumatag
