#include "patterns/NameMatcher.h"

#include "metadata/MetadataCatalogue.h"
#include "patterns/Classification.h"
#include "patterns/NamingTestSupport.h"

namespace lumatag {
namespace {

struct CameraCase {
  const char16_t* name;
  bool matched;
  std::uint32_t number;
};

class CameraNameTest : public testing::TestWithParam<CameraCase> {};

TEST_P(CameraNameTest, RecognisesCameraNames) {
  const CameraCase& c = GetParam();
  const ListedExtensions extensions{u"JPG", u"JPE", u"TIF", u"JP"};
  std::uint32_t number = 99;
  EXPECT_EQ(c.matched, IsCameraGeneratedName(c.name, &extensions, &number)) << Utf16ToUtf8(c.name);
  EXPECT_EQ(c.number, number) << Utf16ToUtf8(c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CameraNameTest,
    testing::Values(CameraCase{u"IMG_1234.JPG", true, 1234},
                    CameraCase{u"DSC01234.JPG", true, 1234}, CameraCase{u"IMG_0001.JPG", true, 1},
                    CameraCase{u"img_0001.jpg", true, 1}, CameraCase{u"_RIMG123.JPG", true, 123},
                    CameraCase{u"IMG\u00e91234.TIF", true, 1234},
                    // The dot may come later: the extension then has fewer characters.
                    CameraCase{u"IMG_12345.JP", true, 12345},
                    CameraCase{u"IMG_1234.JPEG", false, 0}, CameraCase{u"IMG_123.JPEG", false, 0},
                    CameraCase{u"IMG_1234.PNG", false, 0}, CameraCase{u"IMG-1234.JPG", false, 0},
                    CameraCase{u"IMG_12a4.JPG", false, 0}, CameraCase{u"_rimG123.JPG", false, 0},
                    CameraCase{u"ABCDG123.JPG", false, 0}, CameraCase{u"_RIMG12x.JPG", false, 0},
                    CameraCase{u"IMG_12345678", false, 0}, CameraCase{u"IMG_1234567.", false, 0},
                    CameraCase{u"", false, 0}),
    LT_CASE_NAMES);

TEST(CameraNameTest, NeedsAnExtensionList) {
  EXPECT_FALSE(IsCameraGeneratedName(u"IMG_0001.JPG", nullptr));
  const ListedExtensions other{u"TIF"};
  EXPECT_FALSE(IsCameraGeneratedName(u"IMG_0001.JPG", &other));
}

// What a photo knows of its names for a match case.
enum class Known {
  kNothing,   // "IMG_1234.JPG" as original name, no flags
  kCamera,    // original name "IMG_1234.JPG", original-is-current
  kNamed,     // marked named, original name "Trip IMG_0042.JPG"
  kMetadata,  // metadata: ExposureTime 1/60, ImageDescription "a/b", Model "NIKON D7000"
};

struct MatchCase {
  const char16_t* definition;
  const char16_t* fileName;
  Known known;
  bool matched;
  std::uint32_t rank;
  std::uint32_t cost;
  std::uint16_t baseStart;
  std::uint16_t baseLength;
  std::uint32_t number;
};

class MatchNameTest : public NamingTest, public testing::WithParamInterface<MatchCase> {
 protected:
  void Build(PhotoFacts& photo, Known known) {
    switch (known) {
      case Known::kNothing:
        SetupPhoto(photo, u"IMG_1234.JPG");
        break;
      case Known::kCamera:
        SetupPhoto(photo, u"IMG_1234.JPG");
        SetClassification(&photo, true, false, false);
        break;
      case Known::kNamed:
        SetupPhoto(photo, u"Trip IMG_0042.JPG");
        SetClassification(&photo, false, true, false);
        break;
      case Known::kMetadata:
        SetupPhoto(photo, u"IMG_1234.JPG");
        AddRational(photo, kTagExposureTime, 1, 60);
        AddAscii(photo, kTagImageDescription, "a/b");
        AddAscii(photo, kTagModel, "NIKON D7000");
        break;
    }
  }
};

TEST_P(MatchNameTest, ReadsTheNameBack) {
  const MatchCase& c = GetParam();
  const NamingPattern pattern = Pattern(c.definition);
  PhotoFacts photo;
  Build(photo, c.known);
  CountedString fileName;
  ASSERT_OK(fileName.Assign(c.fileName));
  NameMatch match;
  ASSERT_OK(MatchName(&pattern, &photo, &fileName, &extensions_, &match, &locale_));
  const std::string what = Utf16ToUtf8(c.definition) + " / " + Utf16ToUtf8(c.fileName);
  EXPECT_EQ(c.matched, match.matched) << what;
  EXPECT_EQ(c.rank, match.rank) << what;
  EXPECT_EQ(c.cost, match.cost) << what;
  EXPECT_EQ(c.baseStart, match.baseStart) << what;
  EXPECT_EQ(c.baseLength, match.baseLength) << what;
  EXPECT_EQ(c.number, match.number) << what;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, MatchNameTest,
    testing::Values(
        MatchCase{u"[name] #[001]", u"Vacation #012.jpg", Known::kNothing, true, 3, 0, 0, 8, 12},
        MatchCase{u"[name] #[001]", u"Vacation #0012.jpg", Known::kNothing, true, 3, 1, 0, 8, 12},
        MatchCase{u"[name] #[001]", u"Vacation #12.jpg", Known::kNothing, false, 0, 0, 0, 0, 0},
        MatchCase{u"[name] #[001]", u"Vacation #99999999999.jpg", Known::kNothing, false, 0, 0, 0,
                  0, 0},
        MatchCase{u"[name] #[001]", u"Vacation #4294967295.jpg", Known::kNothing, true, 3, 7, 0, 8,
                  4294967295u},
        MatchCase{u"[name] #[001]", u"Vacation #.jpg", Known::kNothing, false, 0, 0, 0, 0, 0},
        // The number token stops at the front cursor: the base name keeps its own digits.
        MatchCase{u"[name][001]", u"Trip2013007.jpg", Known::kNothing, true, 2, 4, 0, 4, 2013007},
        // The larger clause is tried first.
        MatchCase{u"[name];[name] ([2])", u"Trip (7).jpg", Known::kNothing, true, 4, 0, 0, 4, 7},
        MatchCase{u"[name];[name] ([2])", u"Trip.jpg", Known::kNothing, true, 1, 0, 0, 4, 0},
        MatchCase{u"[name] ([2])", u"Trip (1).jpg", Known::kNothing, false, 0, 0, 0, 0, 0},
        MatchCase{u"[name] ([2])", u"Trip (2).jpg", Known::kNothing, true, 4, 0, 0, 4, 2},
        // An auto number wins over numbers from the original name, wherever it stands.
        MatchCase{u"[2]-[1:orig]", u"5-42.jpg", Known::kNothing, true, 3, 1, 0, 0, 5},
        MatchCase{u"[1:orig]-[2]", u"42-5.jpg", Known::kNothing, true, 3, 1, 0, 0, 5},
        MatchCase{u"[name] [[][1:orig][]]", u"Trip [1234].JPG", Known::kNothing, true, 4, 3, 0, 4,
                  1234}),
    LT_CASE_NAMES);

INSTANTIATE_TEST_SUITE_P(
    Texts, MatchNameTest,
    testing::Values(
        // Without a base name the whole stem must be consumed.
        MatchCase{u"[001] copy", u"007 copy.jpg", Known::kNothing, true, 2, 0, 0, 0, 7},
        MatchCase{u"[001] copy", u"007 copy x.jpg", Known::kNothing, false, 0, 0, 0, 0, 0},
        MatchCase{u"[001] copy", u"007 cop.jpg", Known::kNothing, false, 0, 0, 0, 0, 0},
        // ASCII letters fold; the base name is reported as it stands in the file name.
        MatchCase{u"[name] copy [001]", u"Trip COPY 001.jpg", Known::kNothing, true, 3, 0, 0, 4, 1},
        MatchCase{u"[name] \u00e9t\u00e9 [001]", u"Trip \u00c9T\u00c9 001.jpg", Known::kNothing,
                  false, 0, 0, 0, 0, 0},
        // An empty base name: both base outputs 0.
        MatchCase{u"[name] #[001]", u" #007.jpg", Known::kNothing, true, 3, 0, 0, 0, 7},
        MatchCase{u"[name] #[001]", u"#007.jpg", Known::kNothing, false, 0, 0, 0, 0, 0},
        MatchCase{u"x[name]y", u"xTripy.jpg", Known::kNothing, true, 3, 0, 1, 4, 0},
        MatchCase{u"x[name]y", u"xy.jpg", Known::kNothing, true, 3, 0, 0, 0, 0},
        // Only a dot among the last five characters starts the extension.
        MatchCase{u"[name]", u"archive.tar.gz", Known::kNothing, true, 1, 0, 0, 11, 0},
        MatchCase{u"[name] [001]", u"Trip 001.backup", Known::kNothing, false, 0, 0, 0, 0, 0},
        // Metadata: replacement characters must face the invalid characters.
        MatchCase{u"[name] ([metadata:ExposureTime])", u"Trip (1-60).jpg", Known::kMetadata, true,
                  4, 0, 0, 4, 0},
        MatchCase{u"[name] ([metadata:ExposureTime])", u"Trip (1_60).jpg", Known::kMetadata, false,
                  0, 0, 0, 0, 0},
        MatchCase{u"[metadata:ImageDescription] [001]", u"a_b 003.jpg", Known::kMetadata, true, 3,
                  0, 0, 0, 3},
        MatchCase{u"[metadata:ImageDescription] [001]", u"a-b 003.jpg", Known::kMetadata, false, 0,
                  0, 0, 0, 0},
        MatchCase{u"[name] [metadata:Model]", u"Trip nikon d7000.jpg", Known::kMetadata, true, 3, 0,
                  0, 4, 0},
        MatchCase{u"[name] ([metadata:Copyright])", u"Trip (--).jpg", Known::kMetadata, true, 4, 0,
                  0, 4, 0},
        // Dates: the picture-taken date falls back on the file date.
        MatchCase{u"[name] [date \"yyyy-MM-dd\"]", u"Trip 2013-03-04.jpg", Known::kNothing, true, 3,
                  0, 0, 4, 0},
        MatchCase{u"[name] [date \"yyyy-MM-dd\"]", u"Trip 2012-12-28.jpg", Known::kNothing, false,
                  0, 0, 0, 0, 0},
        MatchCase{u"[date:file \"MMMM\"] [name]", u"march Trip.jpg", Known::kNothing, true, 3, 0, 6,
                  4, 0}),
    LT_CASE_NAMES);

INSTANTIATE_TEST_SUITE_P(
    OriginalNames, MatchNameTest,
    testing::Values(
        MatchCase{u"[name] [name:orig]", u"Trip IMG_1234.jpg", Known::kCamera, true, 3, 0, 0, 4, 0},
        MatchCase{u"[name] [name:orig]", u"Trip IMG_9999.jpg", Known::kCamera, false, 0, 0, 0, 0,
                  0},
        // The original name standing where the base name starts is not taken as a base name.
        MatchCase{u"[name] [name:orig]", u"IMG_1234 IMG_1234.jpg", Known::kCamera, false, 0, 0, 0,
                  0, 0},
        MatchCase{u"[name:orig] [name]", u"IMG_1234 Trip.jpg", Known::kNothing, true, 3, 0, 9, 4,
                  0},
        // A named photo: a camera name is looked for in the file name.
        MatchCase{u"[name] [name:orig]", u"Trip DSC_0042.JPG", Known::kNamed, true, 3, 0, 0, 4, 0},
        MatchCase{u"[name] [name:orig]", u"Trip Holidays.JPG", Known::kNamed, false, 0, 0, 0, 0, 0},
        MatchCase{u"[name:orig]", u"DSC_0042.JPG", Known::kNamed, true, 1, 0, 0, 0, 0}),
    LT_CASE_NAMES);

TEST_F(NamingTest, EmbeddedCameraNameBecomesTheOriginalName) {
  const NamingPattern pattern = Pattern(u"[name] [name:orig] x");
  PhotoFacts photo;
  SetupPhoto(photo, u"Trip IMG_0042 y.JPG");
  SetClassification(&photo, false, true, false);
  CountedString fileName;
  ASSERT_OK(fileName.Assign(u"Trip IMG_0042 y.JPG"));
  NameMatch match;
  // Read from the back, " x" fails first: nothing was found yet.
  ASSERT_OK(MatchName(&pattern, &photo, &fileName, &extensions_, &match, &locale_));
  EXPECT_FALSE(match.matched);
  EXPECT_EQ(u"Trip IMG_0042 y.JPG", photo.originalFileName.View());

  // Found, and kept although the clause fails afterwards.
  const NamingPattern front = Pattern(u"Trip [name:orig] x[name]");
  ASSERT_OK(MatchName(&front, &photo, &fileName, &extensions_, &match, &locale_));
  EXPECT_FALSE(match.matched);
  EXPECT_EQ(u"IMG_0042.JPG", photo.originalFileName.View());
  EXPECT_EQ(kPhotoOriginalFound, photo.flags);
}

TEST_F(NamingTest, EmbeddedCameraNameNeedsAThreeCharacterExtension) {
  const NamingPattern pattern = Pattern(u"[name] [name:orig]");
  PhotoFacts photo;
  SetupPhoto(photo, u"Trip IMG_0042.JPEG");
  SetClassification(&photo, false, true, false);
  NameMatch match;
  ASSERT_OK(MatchName(&pattern, &photo, &photo.fileName, &extensions_, &match, &locale_));
  EXPECT_FALSE(match.matched);
  EXPECT_EQ(kPhotoNamed, photo.flags);
}

TEST_F(NamingTest, AutomaticPatternIsTheCameraNameTest) {
  const NamingPattern& automatic = *catalogue_.Automatic();
  ASSERT_TRUE(IsAutomaticPattern(automatic));
  PhotoFacts photo;
  SetupPhoto(photo, u"IMG_0001.JPG");
  NameMatch match;
  ASSERT_OK(MatchName(&automatic, &photo, &photo.fileName, &extensions_, &match, &locale_));
  EXPECT_TRUE(match.matched);
  EXPECT_EQ(2u, match.rank);
  EXPECT_EQ(1u, match.number);

  const ListedExtensions tifOnly{u"TIF"};
  ASSERT_OK(MatchName(&automatic, &photo, &photo.fileName, &tifOnly, &match, &locale_));
  EXPECT_FALSE(match.matched);
  EXPECT_EQ(0u, match.rank);

  // A user pattern of one space is an ordinary pattern.
  const NamingPattern space = Pattern(u" ");
  EXPECT_FALSE(IsAutomaticPattern(space));
}

TEST_F(NamingTest, DateThatCannotBeRenderedDoesNotMatch) {
  const NamingPattern pattern = Pattern(u"[date:file \"yyyy-MM-dd\"] [name]");
  PhotoFacts photo;
  SetupPhoto(photo, u"2013-13-04 Trip.JPG");
  photo.fileDate.month = 13;
  NameMatch match;
  ASSERT_OK(MatchName(&pattern, &photo, &photo.fileName, &extensions_, &match, &locale_));
  EXPECT_FALSE(match.matched);
}

TEST_F(NamingTest, MatchFailures) {
  const NamingPattern pattern = Pattern(u"[name]");
  PhotoFacts photo;
  SetupPhoto(photo, u"Trip.JPG");
  NameMatch match;
  EXPECT_STATUS(E_INVALIDARG, MatchName(nullptr, &photo, &photo.fileName, nullptr, &match));
  EXPECT_STATUS(E_INVALIDARG, MatchName(&pattern, nullptr, &photo.fileName, nullptr, &match));
  EXPECT_STATUS(E_INVALIDARG, MatchName(&pattern, &photo, nullptr, nullptr, &match));
  EXPECT_STATUS(E_INVALIDARG, MatchName(&pattern, &photo, &photo.fileName, nullptr, nullptr));
  NamingPattern uncompiled(context_.heap, &keywords_);
  EXPECT_STATUS(E_INVALID_INPUT, MatchName(&uncompiled, &photo, &photo.fileName, nullptr, &match));
  BestPattern best;
  EXPECT_STATUS(E_INVALIDARG, FindBestPattern(nullptr, &photo, &photo.fileName, nullptr, &best));
}

class FindBestPatternTest : public NamingTest {
 protected:
  void Add(std::u16string_view definition, bool builtIn = false, std::uint32_t flags = 0) {
    NamingPattern pattern = Pattern(definition, builtIn);
    pattern.flags |= flags;
    ASSERT_OK(list_.Add(std::move(pattern)));
  }
  BestPattern Find(std::u16string_view fileName) {
    PhotoFacts photo;
    SetupPhoto(photo, fileName);
    const PatternListView view(list_);
    BestPattern best;
    EXPECT_OK(FindBestPattern(&view, &photo, &photo.fileName, &extensions_, &best, &locale_));
    return best;
  }

  ElementArray<NamingPattern> list_;
};

TEST_F(FindBestPatternTest, HigherRankWins) {
  Add(u"[name]");
  Add(u"[name] #[001]");
  const BestPattern best = Find(u"x #007.jpg");
  EXPECT_EQ(1, best.index);
  EXPECT_EQ(1, best.baseLength);
  EXPECT_EQ(7u, best.number);
}

TEST_F(FindBestPatternTest, LowerCostWinsOnEqualRank) {
  Add(u"[name] #[01]");
  Add(u"[name] #[001]");
  EXPECT_EQ(1, Find(u"x #007.jpg").index);
}

TEST_F(FindBestPatternTest, EmptyBaseNameWinsAndEndsTheSearch) {
  Add(u"[name] #[001]");  // rank 3
  Add(u"x #[001]");       // rank 2, no base name
  Add(u"x #[01]");        // would match with no base name too
  const BestPattern best = Find(u"x #007.jpg");
  EXPECT_EQ(1, best.index);
  EXPECT_EQ(0, best.baseLength);
  EXPECT_EQ(7u, best.number);
}

TEST_F(FindBestPatternTest, UserPatternWinsAFullTie) {
  Add(u"[name] #[001]", true);
  Add(u"[name] #[001]");
  EXPECT_EQ(1, Find(u"x #007.jpg").index);
}

TEST_F(FindBestPatternTest, EarlierPatternStaysOnATieOtherwise) {
  Add(u"[name] #[001]");
  Add(u"[name] #[001]", true);
  Add(u"[name] #[001]");
  EXPECT_EQ(0, Find(u"x #007.jpg").index);
}

TEST_F(FindBestPatternTest, SkipsDeletedAndUnusablePatterns) {
  Add(u"[name] #[001]", false, kPatternNotUsable);
  Add(u"[name] #[001]");
  list_.At(1).name.Clear();
  Add(u"[name]");
  EXPECT_EQ(2, Find(u"x #007.jpg").index);
  list_.At(2).flags |= kPatternNotUsable;
  const BestPattern none = Find(u"x #007.jpg");
  EXPECT_EQ(kNoPatternMatched, none.index);
  EXPECT_EQ(0, none.baseLength);
}

struct ClassifyCase {
  const char16_t* fileName;
  bool unnamed;
  const char16_t* patternName;  // nullptr: none; u"Automatic": the Automatic pattern
  const char16_t* baseName;
  std::uint32_t number;
  std::uint32_t classification;
};

class ClassifyNameTest : public NamingTest, public testing::WithParamInterface<ClassifyCase> {};

TEST_P(ClassifyNameTest, ClassifiesAgainstTheCatalogue) {
  const ClassifyCase& c = GetParam();
  PhotoFacts photo;
  SetupPhoto(photo, c.fileName);
  ASSERT_OK(ClassifyName(catalogue_, &photo, &extensions_, &locale_));
  const std::string what = Utf16ToUtf8(c.fileName);
  EXPECT_EQ(c.unnamed ? kPhotoUnnamed | kPhotoUnnamedWhenListed : 0u,
            photo.flags & (kPhotoUnnamed | kPhotoUnnamedWhenListed))
      << what;
  EXPECT_EQ(c.classification,
            photo.flags & (kPhotoNamed | kPhotoOriginalFound | kPhotoOriginalIsCurrent))
      << what;
  std::u16string patternName;
  if (c.unnamed) {
    patternName = catalogue_.AutomaticAt(photo.patternIndex).name.View();
  } else if (photo.patternIndex != kNoPatternIndex) {
    patternName = catalogue_.At(photo.patternIndex).name.View();
  }
  EXPECT_EQ(std::u16string(c.patternName != nullptr ? c.patternName : u""), patternName) << what;
  EXPECT_EQ(std::u16string(c.baseName),
            photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength))
      << what;
  EXPECT_EQ(c.number, photo.number) << what;
}

INSTANTIATE_TEST_SUITE_P(
    BuiltIns, ClassifyNameTest,
    testing::Values(
        ClassifyCase{u"IMG_1234.JPG", true, u"Automatic", u"", 1234, kPhotoOriginalIsCurrent},
        ClassifyCase{u"_RIMG123.JPG", true, u"Automatic", u"", 123, kPhotoOriginalIsCurrent},
        ClassifyCase{u"IMG_1234.PNG", false, u"2nd+ has digits in parentheses", u"IMG_1234", 0, 0},
        ClassifyCase{u"Trip #007.JPG", false, u"Hash sign & 3 digits", u"Trip", 7, 0},
        ClassifyCase{u"Trip #07.JPG", false, u"Hash sign & 2 digits", u"Trip", 7, 0},
        ClassifyCase{u"Trip (07).JPG", false, u"2 digits in parentheses", u"Trip", 7, 0},
        ClassifyCase{u"Trip (7).JPG", false, u"2nd+ has digits in parentheses", u"Trip", 7, 0},
        ClassifyCase{u"Trip [1234].JPG", false, u"Original sequence number in brackets", u"Trip",
                     1234, 0},
        ClassifyCase{u"Trip #007 (--).JPG", false, u"Hash sign, 3 digits & copyright", u"Trip", 7,
                     0},
        ClassifyCase{u"holiday.JPG", false, u"2nd+ has digits in parentheses", u"holiday", 0, 0}),
    LT_CASE_NAMES);

TEST_F(NamingTest, ClassificationKeepsAnEmbeddedCameraName) {
  NamingPattern user = Pattern(u"[name:orig] [name]");
  ASSERT_OK(user.name.Assign(u"Camera name first"));
  ASSERT_OK(catalogue_.Insert(std::move(user)));
  PhotoFacts photo;
  SetupPhoto(photo, u"DSC_0042 Trip.JPG");
  ASSERT_OK(ClassifyName(catalogue_, &photo, &extensions_, &locale_));
  EXPECT_EQ(kPhotoOriginalFound, photo.flags);
  EXPECT_EQ(u"DSC_0042.JPG", photo.originalFileName.View());
  EXPECT_EQ(u"Camera name first", catalogue_.At(photo.patternIndex).name.View());
  EXPECT_EQ(u"Trip", photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength));
}

TEST_F(NamingTest, ClassificationPrefersAPatternWithoutBaseName) {
  NamingPattern user = Pattern(u"IMG_[0001]");
  ASSERT_OK(user.name.Assign(u"Camera numbers"));
  ASSERT_OK(catalogue_.Insert(std::move(user)));
  PhotoFacts photo;
  SetupPhoto(photo, u"IMG_1234.JPG");
  ASSERT_OK(ClassifyName(catalogue_, &photo, &extensions_, &locale_));
  EXPECT_EQ(0u, photo.flags);
  EXPECT_EQ(u"Camera numbers", catalogue_.At(photo.patternIndex).name.View());
  EXPECT_EQ(1234u, photo.number);
}

}  // namespace
}  // namespace lumatag
