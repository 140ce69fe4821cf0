// Rename Remaining when a photo of the batch fails, and the name check as the controller sees it:
// a typed result for every refusal and question.
#include <filesystem>

#include "foundation/StringIds.h"
#include "photobuilder/PhotoBuilder.h"
#include "workflow/NameCheck.h"
#include "workflow/WorkflowTestSupport.h"

namespace lumatag {
namespace {

class BatchTest : public WorkflowTest {
 protected:
  // A JPEG (whatever its name says) with a date and a Copyright text.
  void AddPhotoWithCopyright(const std::string& name, const std::string& taken,
                             const std::string& copyright) {
    photo::PhotoBuilder builder;
    builder.Ascii(photo::Ifd::kExif, 0x9003, taken);
    builder.Ascii(photo::Ifd::kPrimary, 0x8298, copyright);
    const photo::Bytes bytes = builder.Jpeg();
    AddFile(name, std::string(bytes.begin(), bytes.end()));
  }
  // Rename Remaining from the first photo with `definition` and base name Trip; the confirmation
  // is answered Yes. Returns the number renamed.
  int RenameAll(const std::u16string& definition, Status expected = S_OK) {
    ChooseDefinition(definition);
    EXPECT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
    EXPECT_OK(workflow_->ChoosePhoto(0));
    presenter_.Answer(IDYES);
    int renamed = 0;
    EXPECT_STATUS(expected, workflow_->RenameRemaining(&renamed));
    return renamed;
  }
  std::u16string Text(std::uint16_t id) const {
    return std::u16string(StringModule::BuiltIn().Text(id));
  }
  void ThreePhotos() {
    AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00", "one");
    AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00", "two");
    AddPhoto("IMG_0003.JPG", "2013:05:03 10:00:00", "three");
    Scan();
  }
};

// The photo after a failed one never takes over the failed photo's name: not its extension, not
// its metadata, and a name too long for the failed photo does not fail the rest.
TEST_F(BatchTest, ThePhotoAfterAFailedOneGetsAProposalOfItsOwn) {
  struct Case {
    const char* name;
    std::vector<std::string> files;  // the photos in date order
    std::vector<std::string> copyrights;
    int vanishes;  // the photo whose file is removed after the scan, -1: none
    std::u16string definition;
    int renamed;
    std::vector<std::string> after;
  };
  const std::string longText(240, 'x');
  const Case cases[] = {
      {"extension",
       {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.TIF"},
       {"Ann", "Ben", "Cid"},
       1,
       u"[name] #[001]",
       2,
       {"Trip #001.JPG", "IMG_0002.JPG", "Trip #002.TIF"}},
      {"metadata",
       {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"},
       {"Ann", "Ben", "Cid"},
       1,
       u"[name] #[001] ([metadata:Copyright])",
       2,
       // Names differ by their metadata, so the number need not move on.
       {"Trip #001 (Ann).JPG", "IMG_0002.JPG", "Trip #001 (Cid).JPG"}},
      {"too long",
       {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG", "IMG_0004.JPG"},
       {"Ann", longText, "Cid", "Dan"},
       -1,
       u"[name] #[001] ([metadata:Copyright])",
       3,
       {"Trip #001 (Ann).JPG", "IMG_0002.JPG", "Trip #001 (Cid).JPG", "Trip #001 (Dan).JPG"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      std::filesystem::remove(entry.path());
    }
    presenter_.shown.clear();
    for (std::size_t i = 0; i < c.files.size(); ++i) {
      const std::string taken = "2013:05:0" + std::to_string(i + 1) + " 10:00:00";
      AddPhotoWithCopyright(c.files[i], taken, c.copyrights[i]);
    }
    Scan();
    ASSERT_EQ(ListNames(), c.files);
    if (c.vanishes >= 0) std::filesystem::remove(dir_.File(c.files[c.vanishes]));
    // Photos that could not be renamed make the batch say so.
    const bool all = c.renamed == static_cast<int>(c.files.size());
    EXPECT_EQ(RenameAll(c.definition, all ? S_OK : E_PHOTOS_NOT_RENAMED), c.renamed);
    EXPECT_EQ(ListNames(), c.after);
    for (std::size_t i = 0; i < c.after.size(); ++i) {
      if (static_cast<int>(i) != c.vanishes) {
        EXPECT_TRUE(Exists(c.after[i])) << c.after[i];
      }
    }
  }
}

TEST_F(BatchTest, TheBatchCarriesOnWhenNothingFails) {
  for (const char* name : {"IMG_0001.JPG", "IMG_0002.TIF", "IMG_0003.JPG"}) {
    AddPhotoWithCopyright(name, std::string("2013:05:0") + name[7] + " 10:00:00", "Ann");
  }
  Scan();
  EXPECT_EQ(RenameAll(u"[name] #[001]"), 3);
  // Each photo keeps its own extension; names differ by it, so the number need not move on.
  EXPECT_EQ(ListNames(),
            (std::vector<std::string>{"Trip #001.JPG", "Trip #001.TIF", "Trip #002.JPG"}));
}

// A file or folder outside the list that holds a name of the sequence is passed, never asked about
// or replaced: the photo takes the next free number.
TEST_F(BatchTest, NamesHeldOutsideTheListArePassedForTheNextFreeNumber) {
  ThreePhotos();
  AddFile("Trip #002.JPG", "outsider");  // appears after the scan
  std::filesystem::create_directory(dir_.File("Trip #003.JPG"));
  EXPECT_EQ(RenameAll(u"[name] #[001]"), 3);
  EXPECT_EQ(ListNames(),
            (std::vector<std::string>{"Trip #001.JPG", "Trip #004.JPG", "Trip #005.JPG"}));
  EXPECT_EQ(Content("Trip #002.JPG"), "outsider");
  EXPECT_TRUE(std::filesystem::is_directory(dir_.File("Trip #003.JPG")));
  for (const std::string& name : ListNames()) EXPECT_TRUE(Exists(name)) << name;
  // The confirmation and the closing count; no overwrite question.
  ASSERT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(ShownText(1), u"3 photos were renamed.");
}

// A name the number does not change (the camera's own number) has no next name to take: that
// photo is reported, the others are renamed.
TEST_F(BatchTest, ANameHeldOutsideTheListWithoutANumberToAdvanceIsReported) {
  ThreePhotos();
  AddFile("Trip [2].JPG", "outsider");
  EXPECT_EQ(RenameAll(u"[name] [[][1:orig][]]", E_PHOTOS_NOT_RENAMED), 2);
  EXPECT_EQ(Content("Trip [2].JPG"), "outsider");
  EXPECT_EQ(ListNames(),
            (std::vector<std::string>{"Trip [1].JPG", "IMG_0002.JPG", "Trip [3].JPG"}));
  ASSERT_EQ(presenter_.shown.size(), 3u);
  EXPECT_EQ(ShownText(1), u"2 photos were renamed.");
  EXPECT_EQ(ShownText(2),
            u"The photo \"IMG_0002.JPG\" could not be renamed: " + Text(IDS_REASON_NO_FREE_NAME));
}

// A folder that refuses every rename (read-only, or a name the file system cannot hold) ends
// with the reason and a failure, never with a silent "0 photos were renamed.".
TEST_F(BatchTest, ABatchThatCannotRenameSaysWhy) {
  const struct {
    Status failure;
    std::uint16_t reason;
  } cases[] = {{E_ACCESS_DENIED, IDS_REASON_ACCESS_DENIED},
               {E_NAME_TOO_LONG, IDS_REASON_NAME_TOO_LONG},
               {E_FILE_NOT_FOUND, IDS_REASON_PHOTO_GONE},
               {MakeStatus(0x80070070), IDS_REASON_RENAME_FAILED}};
  ThreePhotos();
  for (const auto& c : cases) {
    SCOPED_TRACE(StatusName(c.failure));
    presenter_.shown.clear();
    files_.moveFailure = c.failure;
    EXPECT_EQ(RenameAll(u"[name] #[001]", E_PHOTOS_NOT_RENAMED), 0);
    EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    ASSERT_EQ(presenter_.shown.size(), 3u);
    EXPECT_EQ(ShownText(1), u"0 photos were renamed.");
    EXPECT_EQ(ShownText(2),
              u"3 photos could not be renamed. The first of them, "
              u"\"IMG_0001.JPG\", could not be renamed: " +
                  Text(c.reason));
  }
  // One photo of several: the message names it alone.
  files_.moveFailure = S_OK;
  presenter_.shown.clear();
  std::filesystem::remove(dir_.File("IMG_0002.JPG"));
  EXPECT_EQ(RenameAll(u"[name] #[001]", E_PHOTOS_NOT_RENAMED), 2);
  ASSERT_EQ(presenter_.shown.size(), 3u);
  EXPECT_EQ(ShownText(1), u"2 photos were renamed.");
  EXPECT_EQ(ShownText(2),
            u"The photo \"IMG_0002.JPG\" could not be renamed: " + Text(IDS_REASON_PHOTO_GONE));
}

// A base name that makes the name too long is said to be too long, whether the name is over 255
// characters or over 255 bytes; never an invalid character.
TEST_F(BatchTest, ABaseNameTooLongIsReportedAsTooLong) {
  const struct {
    std::u16string base;
    std::vector<std::uint16_t> messages;  // after the proposal
  } cases[] = {
      // 130 characters, 260 bytes: the proposal fits the box, the check refuses it.
      {std::u16string(130, u'\u00e9'), {IDS_ERR_NAME_TOO_LONG}},
      // Over 255 characters: no proposal can be made, and there is no name to rename to.
      {std::u16string(300, u'x'), {IDS_ERR_NEW_NAME_TOO_LONG, IDS_ERR_RENAME_PHOTO}},
  };
  ThreePhotos();
  ChooseDefinition(u"[name] #[001]");
  for (const auto& c : cases) {
    presenter_.shown.clear();
    // The choice may already refuse the name; the batch must fail either way.
    IgnoreStatus(workflow_->ChooseBaseName(c.base, true, false));
    EXPECT_TRUE(Failed(workflow_->RenameRemaining(nullptr, false)));
    EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
    std::vector<std::u16string> shown;
    for (const auto& s : presenter_.shown) shown.push_back(s.text);
    std::vector<std::u16string> expected;
    for (std::uint16_t id : c.messages) expected.push_back(Text(id));
    EXPECT_EQ(shown, expected);
  }
}

TEST(NameLengthTest, CountsCharactersAndTheBytesTheFileSystemStores) {
  const std::u16string emoji = u"\U0001F600";  // two UTF-16 units, four bytes
  std::u16string emojis63;
  for (int i = 0; i < 63; ++i) emojis63 += emoji;
  const struct {
    std::u16string name;
    bool tooLong;
  } cases[] = {
      {std::u16string(255, u'a'), false},
      {std::u16string(256, u'a'), true},
      {std::u16string(127, u'\u00e9'), false},  // 254 bytes
      {std::u16string(128, u'\u00e9'), true},   // 256 bytes
      {std::u16string(85, u'\u20ac'), false},   // 255 bytes
      {std::u16string(86, u'\u20ac'), true},    // 258 bytes
      {emojis63 + u"abc", false},               // 255 bytes
      {emojis63 + emoji, true},                 // 256 bytes
      // Bytes of a name that is not UTF-8 are stored as one byte each.
      {std::u16string(255, u'\xdcff'), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsNameTooLong(c.name), c.tooLong) << c.name.size();
    if (c.tooLong) {
      EXPECT_FALSE(IsValidFileName(c.name));
    }
  }
}

struct CheckCase {
  const char16_t* name;
  bool quiet;
  bool extensionAgreed;
  NameVerdict verdict;
  Status status;
  std::uint16_t message;
  const char16_t* nameAfter;  // the name after the check (a unique name may replace it)
};

class NameCheckTest : public WorkflowTest, public testing::WithParamInterface<CheckCase> {};

TEST_P(NameCheckTest, SaysWhatIsWrongAsATypedResult) {
  const CheckCase& c = GetParam();
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  AddPhoto("Trip #001.JPG", "2013:05:02 10:00:00");
  Scan();
  NameProposer proposer(context_, catalogue_, extensions_, workflow_->Photos());
  NameChecker checker(proposer, catalogue_, extensions_, workflow_->Photos());
  CountedString name;
  ASSERT_OK(name.Assign(c.name));
  NameValues values;
  NameCheckOptions options;
  options.quiet = c.quiet;
  options.extensionChangeAgreed = c.extensionAgreed;
  const NameCheckResult result = checker.Check(name, 0, &values, options);
  EXPECT_EQ(result.verdict, c.verdict);
  EXPECT_STATUS(c.status, result.status);
  EXPECT_EQ(result.messageId, c.message);
  EXPECT_EQ(name.View(), std::u16string_view(c.nameAfter));
  // The check itself shows nothing.
  EXPECT_TRUE(presenter_.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameCheckTest,
    testing::Values(
        CheckCase{u"Beach", false, false, NameVerdict::kAccepted, S_OK, 0, u"Beach.JPG"},
        CheckCase{u"a|b", true, false, NameVerdict::kInvalidCharacters, E_FAIL,
                  IDS_ERR_PHOTO_NAME_INVALID_CHARACTER, u"a|b"},
        // Judged with the extension the file will have.
        CheckCase{u"DSC_1234", false, false, NameVerdict::kCameraGenerated, E_FAIL,
                  IDS_ERR_CAMERA_GENERATED_NAME, u"DSC_1234"},
        CheckCase{u"Beach.tif", false, false, NameVerdict::kExtensionChange, E_CANCELLED,
                  IDS_ASK_EXTENSION_CHANGE, u"Beach.tif"},
        CheckCase{u"Beach.tif", false, true, NameVerdict::kAccepted, S_OK, 0, u"Beach.tif"},
        // A batch asks nobody: a changed extension is refused unless agreed before.
        CheckCase{u"Beach.tif", true, false, NameVerdict::kExtensionChange, E_CANCELLED, 0,
                  u"Beach.tif"},
        CheckCase{u"Beach.tif", true, true, NameVerdict::kAccepted, S_OK, 0, u"Beach.tif"},
        CheckCase{u"Beach.png", false, false, NameVerdict::kExtensionNotListed, E_CANCELLED,
                  IDS_ERR_EXTENSION_NOT_SUPPORTED, u"Beach.png"},
        CheckCase{u"trip #001.jpg", false, false, NameVerdict::kNameTaken, E_ALREADY_PRESENT,
                  IDS_ASK_PROPOSE_UNIQUE_NAME, u"trip #001.jpg"},
        // A batch takes the next free name of the other photo's sequence.
        CheckCase{u"Trip #001.JPG", true, false, NameVerdict::kAccepted, S_OK, 0,
                  u"Trip #002.JPG"}),
    LT_CASE_NAMES);

TEST_F(BatchTest, AQuietRenameNeverChangesThePhotosExtension) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  CountedString name;
  ASSERT_OK(name.Assign(u"Beach.tif"));
  NameValues values;
  NameCheckOptions quiet;
  quiet.quiet = true;
  EXPECT_STATUS(E_CANCELLED, workflow_->RenamePhoto(name, 0, &values, quiet));
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG"}));
  EXPECT_TRUE(presenter_.shown.empty());
}

}  // namespace
}  // namespace lumatag
