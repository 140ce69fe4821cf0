#include "patterns/NameGenerator.h"

#include "metadata/MetadataCatalogue.h"
#include "metadata/SamplePhoto.h"
#include "patterns/NamingTestSupport.h"

namespace lumatag {
namespace {

// Which photo a case is generated for.
enum class PhotoKind {
  kCamera,    // "IMG_1234.JPG", its current name is the camera's
  kNamed,     // "Trip #001.JPG", marked named: no original name is known
  kArchive,   // original name "archive.tar.gz", original-found
  kNoCamera,  // "holiday.JPG", its current name is its original name but no camera name
  kMetadata,  // "IMG_0042.JPG" with DateTimeOriginal, ExposureTime, ImageDescription, Model
};

struct GenerateCase {
  const char16_t* definition;
  PhotoKind photo;
  const char16_t* base;
  bool first;
  std::uint32_t number;
  const char16_t* expected;
};

class GenerateNameTest : public NamingTest, public testing::WithParamInterface<GenerateCase> {
 protected:
  void Build(PhotoFacts& photo, PhotoKind kind) {
    switch (kind) {
      case PhotoKind::kCamera:
        SetupPhoto(photo, u"IMG_1234.JPG");
        SetClassification(&photo, true, false, false);
        break;
      case PhotoKind::kNamed:
        SetupPhoto(photo, u"Trip #001.JPG");
        SetClassification(&photo, false, true, false);
        break;
      case PhotoKind::kArchive:
        SetupPhoto(photo, u"archive.tar.gz");
        SetClassification(&photo, false, false, true);
        break;
      case PhotoKind::kNoCamera:
        SetupPhoto(photo, u"holiday.JPG");
        SetClassification(&photo, true, false, false);
        break;
      case PhotoKind::kMetadata:
        SetupPhoto(photo, u"IMG_0042.JPG");
        SetClassification(&photo, true, false, false);
        AddAscii(photo, kTagDateTimeOriginal, "2012:12:28 12:09:32");
        AddRational(photo, kTagExposureTime, 1, 60);
        AddRational(photo, kTagFNumber, 71, 10);
        // Control characters are as invalid in a name as the nine reserved characters.
        AddAscii(photo, kTagImageDescription, "a/b:c*d?e\"f<g>h|i\\j\x1b[2J\rk\x7fl");
        AddAscii(photo, kTagModel, "NIKON D7000");
        AddShort(photo, kTagISOSpeedRatings, 200);
        break;
    }
  }
};

TEST_P(GenerateNameTest, GeneratesTheName) {
  const GenerateCase& c = GetParam();
  const NamingPattern pattern = Pattern(c.definition);
  PhotoFacts photo;
  Build(photo, c.photo);
  EXPECT_EQ(std::u16string(c.expected), Generate(pattern, photo, c.base, c.first, c.number))
      << Utf16ToUtf8(c.definition);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, GenerateNameTest,
    testing::Values(
        // Auto numbers: padded to the digits written, never cut.
        GenerateCase{u"[name] #[001]", PhotoKind::kCamera, u"Trip", false, 7, u"Trip #007"},
        GenerateCase{u"[name] #[001]", PhotoKind::kCamera, u"Trip", false, 12345, u"Trip #12345"},
        GenerateCase{u"[name] #[001]", PhotoKind::kCamera, u"Trip", true, 99, u"Trip #001"},
        GenerateCase{u"[name] #[5:auto]", PhotoKind::kCamera, u"Trip", true, 99, u"Trip #5"},
        // Two clauses: the first for the first photo, the last for every other.
        GenerateCase{u"[name];[name] ([2])", PhotoKind::kCamera, u"Trip", true, 3, u"Trip"},
        GenerateCase{u"[name];[name] ([2])", PhotoKind::kCamera, u"Trip", false, 3, u"Trip (3)"},
        // White space is trimmed at both ends; the base name is otherwise taken as it is.
        GenerateCase{u"[name]", PhotoKind::kCamera, u"  Trip  ", false, 1, u"Trip"},
        GenerateCase{u"[001] ", PhotoKind::kCamera, u"x", true, 5, u"001"},
        GenerateCase{u"[name]", PhotoKind::kCamera, u"a/b:c", false, 1, u"a/b:c"},
        GenerateCase{u"[name]", PhotoKind::kCamera, u"", false, 1, u""},
        // The original name: its stem when known, "--" otherwise.
        GenerateCase{u"[name:orig]", PhotoKind::kCamera, u"x", false, 1, u"IMG_1234"},
        GenerateCase{u"[name:orig]", PhotoKind::kNamed, u"x", false, 1, u"--"},
        GenerateCase{u"[name:orig]", PhotoKind::kArchive, u"x", false, 1, u"archive.tar"},
        GenerateCase{u"[name] [name:orig]", PhotoKind::kNoCamera, u"x", false, 1, u"x holiday"},
        // The number in the original name, or the sequence number when it is no camera name.
        GenerateCase{u"[1:orig]", PhotoKind::kMetadata, u"x", false, 7, u"42"},
        GenerateCase{u"[0001:orig]", PhotoKind::kMetadata, u"x", false, 7, u"0042"},
        GenerateCase{u"[1:orig]", PhotoKind::kNoCamera, u"x", false, 7, u"7"},
        GenerateCase{u"[1:orig]", PhotoKind::kNamed, u"x", true, 7, u"7"},
        // Metadata: invalid characters replaced, "-" in rational values, "_" in the others.
        GenerateCase{u"[metadata:ExposureTime]", PhotoKind::kMetadata, u"x", false, 1, u"1-60"},
        GenerateCase{u"f[metadata:FNumber]", PhotoKind::kMetadata, u"x", false, 1, u"f7.1"},
        GenerateCase{u"[metadata:ImageDescription]", PhotoKind::kMetadata, u"x", false, 1,
                     u"a_b_c_d_e_f_g_h_i_j_[2J_k_l"},
        GenerateCase{u"[metadata:Model] ISO [metadata:ISOSpeedRatings]", PhotoKind::kMetadata, u"x",
                     false, 1, u"NIKON D7000 ISO 200"},
        GenerateCase{u"[name] ([metadata:Copyright])", PhotoKind::kMetadata, u"x", false, 1,
                     u"x (--)"},
        // Dates: the picture-taken date, or the file date without DateTimeOriginal.
        GenerateCase{u"[date \"yyyy-MM-dd\"]", PhotoKind::kMetadata, u"x", false, 1, u"2012-12-28"},
        GenerateCase{u"[date \"yyyy-MM-dd\"]", PhotoKind::kCamera, u"x", false, 1, u"2013-03-04"},
        GenerateCase{u"[date:file \"yyyy-MM-dd H-mm\"]", PhotoKind::kMetadata, u"x", false, 1,
                     u"2013-03-04 5-06"},
        GenerateCase{u"[date \"dddd d MMMM\"]", PhotoKind::kCamera, u"x", false, 1,
                     u"Monday 4 March"}),
    LT_CASE_NAMES);

TEST_F(NamingTest, OriginalNumberInAPreviewIsTheSampleNumber) {
  const NamingPattern pattern = Pattern(u"[name] [[][1:orig][]]");
  PhotoFacts photo;
  ASSERT_OK(BuildSamplePhoto(&photo, context_.heap, StringModule::BuiltIn(), kFileDate));
  SetClassification(&photo, true, false, false);
  EXPECT_EQ(u"sample [1234]", Generate(pattern, photo, u"sample", true, 1));
  for (OpenDialog dialog : {kDialogPatternEditor, kDialogInsertNumber}) {
    context_.openDialog = dialog;
    EXPECT_EQ(u"sample [2134]", Generate(pattern, photo, u"sample", true, 1));
  }
}

TEST_F(NamingTest, OriginalNumberWithoutAnAutomaticPatternIsZero) {
  const NamingPattern pattern = Pattern(u"[001:orig]");
  PhotoFacts photo;
  SetupPhoto(photo, u"IMG_0042.JPG");
  PatternCatalogue empty(context_.heap);
  environment_.catalogue = &empty;
  EXPECT_EQ(u"000", Generate(pattern, photo, u"x", false, 7));
  environment_.catalogue = nullptr;
  EXPECT_EQ(u"000", Generate(pattern, photo, u"x", false, 7));
}

TEST_F(NamingTest, OriginalNumberNeedsAListedExtension) {
  const NamingPattern pattern = Pattern(u"[1:orig]");
  PhotoFacts photo;
  SetupPhoto(photo, u"IMG_0042.PNG");
  EXPECT_EQ(u"7", Generate(pattern, photo, u"x", false, 7));
}

TEST_F(NamingTest, GenerationFailures) {
  CountedString base;
  CountedString output;
  PhotoFacts photo;
  SetupPhoto(photo, u"IMG_1234.JPG");
  const NamingPattern pattern = Pattern(u"[name]");
  EXPECT_STATUS(E_INVALIDARG,
                GenerateName(environment_, &pattern, nullptr, &base, false, 1, &output));
  EXPECT_STATUS(E_INVALIDARG,
                GenerateName(environment_, &pattern, &photo, nullptr, false, 1, &output));
  EXPECT_STATUS(E_INVALIDARG,
                GenerateName(environment_, &pattern, &photo, &base, false, 1, nullptr));
  NamingPattern uncompiled(context_.heap, &keywords_);
  EXPECT_STATUS(E_INVALID_INPUT,
                GenerateName(environment_, &uncompiled, &photo, &base, false, 1, &output));
  EXPECT_STATUS(E_INVALID_INPUT,
                GenerateName(environment_, nullptr, &photo, &base, false, 1, &output));
}

TEST_F(NamingTest, DateLongerThanTheFieldFailsAndKeepsWhatCameBefore) {
  // 17 full month names: far more than 64 characters.
  std::u16string definition = u"  [name] [date \"";
  for (int i = 0; i < 17; ++i) definition += u"MMMM ";
  definition += u"\"]";
  const NamingPattern pattern = Pattern(definition);
  PhotoFacts photo;
  SetupPhoto(photo, u"IMG_1234.JPG");
  CountedString base;
  CountedString output;
  ASSERT_OK(base.Assign(u"Trip"));
  EXPECT_STATUS(E_BUFFER_TOO_SMALL,
                GenerateName(environment_, &pattern, &photo, &base, false, 1, &output));
  EXPECT_EQ(u"Trip", output.View());
}

TEST(ClassificationFlagsTest, AtMostOneFlagIsSet) {
  struct Case {
    bool current, named, found;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {false, false, false, 0},
      {true, false, false, kPhotoOriginalIsCurrent},
      {false, false, true, kPhotoOriginalFound},
      {true, false, true, kPhotoOriginalFound},
      {true, true, true, kPhotoNamed},
      {false, true, false, kPhotoNamed},
  };
  for (const Case& c : cases) {
    PhotoFacts photo;
    photo.flags = kPhotoUnnamed | kPhotoNamed | kPhotoOriginalFound | kPhotoOriginalIsCurrent;
    SetClassification(&photo, c.current, c.named, c.found);
    EXPECT_EQ(kPhotoUnnamed | c.expected, photo.flags);
  }
}

TEST_F(NamingTest, SequenceStartComesFromTheSelectedClause) {
  struct Case {
    const char16_t* definition;
    bool first;
    std::uint32_t value;
    bool found;
  };
  const Case cases[] = {
      {u"[name];[name] ([2])", true, 0, false}, {u"[name];[name] ([2])", false, 2, true},
      {u"[name] #[001]", true, 1, true},        {u"[name] #[001]", false, 1, true},
      {u"[1:orig] [7] [7]", false, 7, true},    {u"[name] [1:orig]", false, 0, false},
      {u"[4];[name]", true, 4, true},
  };
  for (const Case& c : cases) {
    bool found = !c.found;
    EXPECT_EQ(c.value, SequenceStart(Pattern(c.definition), c.first, &found))
        << Utf16ToUtf8(c.definition);
    EXPECT_EQ(c.found, found) << Utf16ToUtf8(c.definition);
  }
  bool found = true;
  EXPECT_EQ(0u, SequenceStart(NamingPattern(context_.heap, &keywords_), true, &found));
  EXPECT_FALSE(found);
}

TEST_F(NamingTest, NextMetadataTagWalksTheWholeDefinition) {
  const NamingPattern pattern =
      Pattern(u"[metadata:Make] [name];[metadata:Model] [metadata:Make] [001]");
  int position = 0;
  EXPECT_EQ(kTagMake, NextMetadataTag(pattern, &position));
  EXPECT_EQ(1, position);
  EXPECT_EQ(kTagModel, NextMetadataTag(pattern, &position));
  EXPECT_EQ(kTagMake, NextMetadataTag(pattern, &position));
  EXPECT_EQ(kNoMetadataTag, NextMetadataTag(pattern, &position));
  EXPECT_EQ(pattern.compiled.TotalTokenCount(), position);
}

TEST_F(NamingTest, QuickPassTagsCoverEveryUsablePatternOnce) {
  TagFilter filter;
  ASSERT_OK(BuildQuickPassTagList(catalogue_, &filter));
  std::vector<std::uint32_t> tags(filter.tags().begin(), filter.tags().end());
  EXPECT_EQ((std::vector<std::uint32_t>{kTagOrientation, kTagCopyright, kTagExposureTime,
                                        kTagFNumber, kTagISOSpeedRatings, kTagDateTimeOriginal,
                                        kTagUserComment, kTagPixelXDimension, kTagPixelYDimension}),
            tags);

  NamingPattern user = Pattern(u"[name] [metadata:Make] [metadata:x1234]");
  NamingPattern broken = Pattern(u"[metadata:Model]");
  EXPECT_TRUE(Succeeded(broken.name.Assign(u"broken")));
  broken.flags |= kPatternNotUsable;
  NamingPattern deleted = Pattern(u"[metadata:Artist]");
  deleted.name.Clear();
  ASSERT_OK(catalogue_.Insert(std::move(user)));
  ASSERT_OK(catalogue_.Insert(std::move(broken)));
  ASSERT_OK(catalogue_.Insert(std::move(deleted)));
  ASSERT_OK(BuildQuickPassTagList(catalogue_, &filter));
  EXPECT_EQ(11, filter.Count());
  EXPECT_TRUE(filter.Contains(kTagMake));
  EXPECT_TRUE(filter.Contains(0x1234));
  EXPECT_FALSE(filter.Contains(kTagModel));
  EXPECT_FALSE(filter.Contains(kTagArtist));
}

}  // namespace
}  // namespace lumatag
