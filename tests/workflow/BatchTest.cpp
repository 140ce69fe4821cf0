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
  int RenameAll(const std::u16string& definition) {
    ChooseDefinition(definition);
    EXPECT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
    EXPECT_OK(workflow_->ChoosePhoto(0));
    presenter_.Answer(IDYES);
    int renamed = 0;
    EXPECT_OK(workflow_->RenameRemaining(&renamed));
    return renamed;
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
    EXPECT_EQ(RenameAll(c.definition), c.renamed);
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
