// Naming photos in a real folder: the checks on a new name, renaming, Rename Remaining, Delete,
// the automatic continuation and the question before leaving a photo.
#include <fstream>
#include <iterator>

#include "foundation/StringIds.h"
#include "workflow/FileActions.h"
#include "workflow/WorkflowTestSupport.h"

namespace lumatag {
namespace {

std::u16string Text(std::uint16_t id) {
  return std::u16string(StringModule::BuiltIn().Text(id));
}

class NamingTest : public WorkflowTest {
 protected:
  // Three unnamed photos in date order, the first current.
  void ThreeUnnamed() {
    AddPhoto("IMG_0003.JPG", "2013:05:01 10:00:00", "one");
    AddPhoto("IMG_0001.JPG", "2013:05:02 10:00:00", "two");
    AddPhoto("IMG_0002.JPG", "2013:05:03 10:00:00", "three");
    Scan();
    ASSERT_EQ(workflow_->Photos().CurrentIndex(), 0);
  }
  Status RenameTo(const std::u16string& name) {
    workflow_->NewNameEdited(name);
    return workflow_->Rename();
  }
};

struct TypedNameCase {
  const char16_t* typed;
  int answer;  // answer to a question, 0: none expected
  Status status;
  const char* fileAfter;  // the photo's file afterwards
  std::uint16_t message;  // first message shown, 0: none
};

class TypedNameTest : public NamingTest, public testing::WithParamInterface<TypedNameCase> {};

TEST_P(TypedNameTest, ChecksTheNameBeforeRenaming) {
  const TypedNameCase& c = GetParam();
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  if (c.answer != 0) presenter_.Answer(c.answer);
  EXPECT_STATUS(c.status, RenameTo(c.typed));
  EXPECT_TRUE(Exists(c.fileAfter));
  EXPECT_EQ(workflow_->Photos().At(0).fileName.ToUtf8(), c.fileAfter);
  if (c.message != 0) {
    EXPECT_EQ(ShownText(0), Text(c.message));
  } else {
    EXPECT_TRUE(presenter_.shown.empty()) << Utf16ToUtf8(ShownText(0));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, TypedNameTest,
    testing::Values(
        // No extension typed: the photo's own is appended.
        TypedNameCase{u"Beach", 0, S_OK, "Beach.JPG", 0},
        TypedNameCase{u"Beach.jpg", 0, S_OK, "Beach.jpg", 0},
        // Another listed extension asks; Yes renames, No leaves the photo alone.
        TypedNameCase{u"Beach.tif", IDYES, S_OK, "Beach.tif", IDS_ASK_EXTENSION_CHANGE},
        TypedNameCase{u"Beach.tif", IDNO, E_CANCELLED, "IMG_0001.JPG", IDS_ASK_EXTENSION_CHANGE},
        // An extension not in the list is refused.
        TypedNameCase{u"Beach.png", 0, E_CANCELLED, "IMG_0001.JPG",
                      IDS_ERR_EXTENSION_NOT_SUPPORTED},
        // Camera-like names are refused; thirteen characters are not camera-like.
        TypedNameCase{u"DSC_1234.JPG", 0, E_FAIL, "IMG_0001.JPG", IDS_ERR_CAMERA_GENERATED_NAME},
        // Judged on the final name: the photo's extension would make it camera-like.
        TypedNameCase{u"DSC_1234", 0, E_FAIL, "IMG_0001.JPG", IDS_ERR_CAMERA_GENERATED_NAME},
        TypedNameCase{u"DSC_12345.JPG", 0, S_OK, "DSC_12345.JPG", 0},
        TypedNameCase{u"a/b", 0, E_FAIL, "IMG_0001.JPG", IDS_ERR_PHOTO_NAME_INVALID_CHARACTER},
        TypedNameCase{u"what?", 0, E_FAIL, "IMG_0001.JPG", IDS_ERR_PHOTO_NAME_INVALID_CHARACTER},
        // Control characters could forge lines wherever the name is shown.
        TypedNameCase{u"a\nb", 0, E_FAIL, "IMG_0001.JPG", IDS_ERR_PHOTO_NAME_INVALID_CHARACTER},
        TypedNameCase{u"a\x1b[2J", 0, E_FAIL, "IMG_0001.JPG",
                      IDS_ERR_PHOTO_NAME_INVALID_CHARACTER}),
    LT_CASE_NAMES);

TEST_F(NamingTest, CaseOnlyClashCountsAsTakenAndNoLeavesTheFileAlone) {
  AddPhoto("Beach.JPG", "2013:05:01 10:00:00", "one");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00", "two");
  Scan();
  ASSERT_OK(workflow_->ChoosePhoto(1));
  presenter_.Answer(IDNO);
  EXPECT_STATUS(E_ALREADY_PRESENT, RenameTo(u"BEACH.jpg"));
  ASSERT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(ShownText(0), Text(IDS_ASK_PROPOSE_UNIQUE_NAME));
  EXPECT_EQ(ShownText(1), Text(IDS_ERR_RENAME_PHOTO));
  EXPECT_EQ(Files(), (std::vector<std::string>{"Beach.JPG", "IMG_0002.JPG"}));
  EXPECT_EQ(Content("IMG_0002.JPG").substr(Content("IMG_0002.JPG").size() - 3), "two");
}

TEST_F(NamingTest, ProposingAUniqueNameTakesTheOtherPhotosSequence) {
  AddPhoto("Trip #001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  Scan();
  ASSERT_OK(workflow_->ChoosePhoto(1));
  presenter_.Answer(IDYES);
  ASSERT_OK(RenameTo(u"trip #001.JPG"));
  EXPECT_EQ(Files(), (std::vector<std::string>{"Trip #001.JPG", "Trip #002.JPG"}));
}

TEST_F(NamingTest, RenameRemainingNumbersTheRestInListOrder) {
  ThreeUnnamed();
  ChooseDefinition(u"[name] #[001]");
  ASSERT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
  EXPECT_EQ(workflow_->NewNameText(), u"Trip #001.JPG");
  EXPECT_TRUE(workflow_->CanRename());
  presenter_.Answer(IDYES);
  int renamed = 0;
  ASSERT_OK(workflow_->RenameRemaining(&renamed));
  EXPECT_EQ(renamed, 3);
  EXPECT_EQ(ListNames(),
            (std::vector<std::string>{"Trip #001.JPG", "Trip #002.JPG", "Trip #003.JPG"}));
  EXPECT_EQ(Content("Trip #001.JPG").substr(Content("Trip #001.JPG").size() - 3), "one");
  EXPECT_EQ(Content("Trip #003.JPG").substr(Content("Trip #003.JPG").size() - 5), "three");
  ASSERT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(ShownText(0),
            u"This operation will change the names of 3 photos whether they are "
            u"NAMED or UNNAMED. Do you want to proceed?");
  EXPECT_EQ(ShownText(1), u"3 photos were renamed.");
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 0);
}

TEST_F(NamingTest, RenameRemainingAskedNoChangesNothing) {
  ThreeUnnamed();
  settings_.fileNavigationMode = kNavigateUnnamed;
  ASSERT_OK(workflow_->ChangeNavigationMode(kNavigateAll));
  ASSERT_OK(workflow_->ChangeNavigationMode(kNavigateUnnamed));
  ChooseDefinition(u"[name] #[001]");
  ASSERT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
  presenter_.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, workflow_->RenameRemaining());
  EXPECT_EQ(ShownText(0), u"Do you want to proceed with renaming 3 UNNAMED photos?");
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
}

TEST_F(NamingTest, AdvanceAndBaseOnLastContinueTheSequenceWithoutAsking) {
  ThreeUnnamed();
  settings_.advanceAfterRename = true;
  settings_.baseOnLast = true;
  ChooseDefinition(u"[name] #[001]");
  ASSERT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
  ASSERT_OK(workflow_->Rename());
  EXPECT_TRUE(Exists("Trip #001.JPG"));
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 1);
  EXPECT_EQ(workflow_->NewNameText(), u"Trip #002.JPG");
  EXPECT_TRUE(workflow_->CanRename());
  EXPECT_TRUE(workflow_->Naming().automatic);
  const std::size_t shown = presenter_.shown.size();
  ASSERT_OK(workflow_->GoNext());
  EXPECT_EQ(presenter_.shown.size(), shown);  // leaving asked nothing
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 2);
  ASSERT_EQ(sounds_.played.size(), 1u);
  EXPECT_EQ(sounds_.played[0].sound, SystemSound::kExclamation);
  EXPECT_FALSE(sounds_.played[0].wait);
}

TEST_F(NamingTest, RenamingTheLastPhotoPlaysBothSoundsAndWaits) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  ASSERT_OK(RenameTo(u"Only"));
  ASSERT_EQ(sounds_.played.size(), 2u);
  EXPECT_TRUE(sounds_.played[0].wait);
  EXPECT_EQ(sounds_.played[1].sound, SystemSound::kDefault);
  settings_.fileCheckBeeps = false;
  ASSERT_OK(RenameTo(u"Only again"));
  EXPECT_EQ(sounds_.played.size(), 2u);
}

TEST_F(NamingTest, LeavingATypedNameAsksAndCancelStays) {
  ThreeUnnamed();
  workflow_->NewNameEdited(u"Party");
  presenter_.Answer(IDCANCEL);
  EXPECT_STATUS(E_CANCELLED, workflow_->GoNext());
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 0);
  presenter_.Answer(IDNO);
  ASSERT_OK(workflow_->GoNext());
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 1);
  EXPECT_TRUE(Exists("IMG_0003.JPG"));
  workflow_->NewNameEdited(u"Party");
  presenter_.Answer(IDYES);
  ASSERT_OK(workflow_->GoNext());
  EXPECT_TRUE(Exists("Party.JPG"));
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 2);
  EXPECT_EQ(ShownText(0), Text(IDS_ASK_RENAME_BEFORE_PROCEEDING));
}

TEST_F(NamingTest, DeletingTheLastPhotoSelectsThePreviousAndTheOnlyPhotoLeavesNone) {
  ThreeUnnamed();
  ASSERT_OK(workflow_->GoLast());
  presenter_.Answer(IDYES);
  ASSERT_OK(workflow_->Delete());
  EXPECT_EQ(ShownText(0),
            u"Are you sure you want to move the photo \"IMG_0002.JPG\" to the recycle bin?");
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 1);
  EXPECT_EQ(workflow_->Photos().Count(), 2);
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 2);
  EXPECT_FALSE(Exists("IMG_0002.JPG"));
  presenter_.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, workflow_->Delete());
  EXPECT_EQ(workflow_->Photos().Count(), 2);
  ASSERT_OK(workflow_->GoFirst());
  presenter_.Answer(IDYES);
  ASSERT_OK(workflow_->Delete());
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 0);
  presenter_.Answer(IDYES);
  ASSERT_OK(workflow_->Delete());
  EXPECT_EQ(workflow_->Photos().Count(), 0);
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), -1);
  EXPECT_FALSE(workflow_->CanDelete());
  EXPECT_GE(view_.releases, 3);
  EXPECT_EQ(files_.recycled,
            (std::vector<std::string>{"IMG_0002.JPG", "IMG_0003.JPG", "IMG_0001.JPG"}));
}

TEST_F(NamingTest, RenamingOntoAFileOutsideTheListAsksAndNoLeavesBothFiles) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00", "photo");
  AddFile("Taken.JPG.bak", "x");
  AddFile("Taken.jpeg", "other");  // not listed: JPEG is not a photo extension by default
  Scan();
  ASSERT_EQ(workflow_->Photos().Count(), 1);
  ASSERT_OK(extensions_.Add(u"JPEG"));
  presenter_.Answer(IDYES);  // the extension question
  presenter_.Answer(IDNO);   // the overwrite question
  EXPECT_STATUS(E_CANCELLED, RenameTo(u"Taken.jpeg"));
  EXPECT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(Content("Taken.jpeg"), "other");
  EXPECT_TRUE(Exists("IMG_0001.JPG"));
  // The entry is exactly as it was.
  const PhotoEntry& photo = workflow_->Photos().At(0);
  EXPECT_EQ(photo.fileName.View(), u"IMG_0001.JPG");
  EXPECT_TRUE(photo.flags & kPhotoUnnamed);
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 1);
  EXPECT_TRUE(workflow_->CanRename());
}

TEST_F(NamingTest, AFileThatCannotBeGivenItsOldNameBackIsReported) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  workflow_->onRenamed = [this](std::u16string_view, std::u16string_view) {
    // Right after the move: the entry cannot take the new name (no memory), and the old name is
    // taken again, so the file cannot go back.
    AddFile("IMG_0001.JPG", "intruder");
    PrivateHeap::Process().FailAllocationsAfter(0);
  };
  const Status status = RenameTo(u"A rather longer name for this photo");
  PrivateHeap::Process().FailAllocationsAfter(-1);
  EXPECT_STATUS(E_RENAME_NOT_UNDONE, status);
  const std::u16string expected =
      u"The photo was renamed to \"A rather longer name for this photo.JPG\", but the photo list "
      u"could not follow and the old name could not be given back. Choose the folder again to "
      u"list the photos as they are.";
  bool reported = false;
  for (const auto& shown : presenter_.shown) reported = reported || shown.text == expected;
  EXPECT_TRUE(reported);
}

TEST_F(NamingTest, ANameMatchingNoPatternIsStillRecordedAndReported) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  // Only one pattern left, which "Holiday" does not follow.
  const int keep = PatternIndex(u"[name] #[001]");
  for (int i = catalogue_.Count() - 1; i >= 0; --i) {
    if (i != keep) catalogue_.RemoveAt(i);
  }
  ASSERT_EQ(catalogue_.Count(), 1);
  EXPECT_STATUS(S_RENAMED_WITHOUT_PATTERN, RenameTo(u"Holiday"));
  EXPECT_TRUE(Exists("Holiday.JPG"));
  const PhotoEntry& photo = workflow_->Photos().At(0);
  EXPECT_EQ(photo.fileName.View(), u"Holiday.JPG");
  EXPECT_FALSE(photo.flags & kPhotoUnnamed);
  EXPECT_EQ(lumatag::PatternIndex(photo), kNoPatternIndex);
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 0);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_NE(ShownText(0).find(u"Holiday.JPG"), std::u16string::npos);
}

TEST_F(NamingTest, SelectingANamedPhotoBringsItsOwnPatternBaseAndNumber) {
  AddPhoto("Trip #007.JPG", "2013:05:01 10:00:00");
  Scan();
  const NamingState& naming = workflow_->Naming();
  EXPECT_EQ(naming.pattern, PatternIndex(u"[name] #[001]"));
  EXPECT_EQ(workflow_->CurrentBaseNameText(), u"Trip");
  EXPECT_EQ(naming.number, 7u);
  EXPECT_EQ(workflow_->NewNameText(), u"Trip #007.JPG");
  EXPECT_FALSE(workflow_->CanRename());
}

TEST_F(NamingTest, ModeChangeMovesOffAPhotoThatIsNoLongerVisible) {
  AddPhoto("Trip #001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  AddPhoto("Trip #002.JPG", "2013:05:03 10:00:00");
  Scan();
  ASSERT_EQ(workflow_->Photos().CurrentIndex(), 0);
  ASSERT_OK(workflow_->ChangeNavigationMode(kNavigateUnnamed));
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 1);
  EXPECT_EQ(settings_.fileNavigationMode, kNavigateUnnamed);
  EXPECT_TRUE(app_.SettingsChanged());
  // Named: the next named photo after the current one.
  ASSERT_OK(workflow_->ChangeNavigationMode(kNavigateNamed));
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 2);
  // A pending change asks first; Cancel keeps photo and mode.
  workflow_->NewNameEdited(u"Party");
  presenter_.Answer(IDCANCEL);
  EXPECT_STATUS(E_CANCELLED, workflow_->ChangeNavigationMode(kNavigateUnnamed));
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 2);
  EXPECT_EQ(workflow_->Photos().NavigationMode(), kNavigateNamed);
}

TEST_F(NamingTest, PatternChoiceTakesOverATypedNameAndKeepsItsBaseName) {
  ThreeUnnamed();
  workflow_->NewNameEdited(u"Lake #004.JPG");
  ChooseDefinition(u"[name] ([001])");
  EXPECT_EQ(workflow_->CurrentBaseNameText(), u"Lake");
  EXPECT_EQ(workflow_->NewNameText(), u"Lake (001).JPG");
  EXPECT_TRUE(workflow_->CanRename());
  EXPECT_EQ(catalogue_.DefaultIndex(), PatternIndex(u"[name] ([001])"));
}

TEST_F(NamingTest, TypedBaseNameProposesTheFirstFreeNumber) {
  AddPhoto("Lake #001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  Scan();
  ASSERT_OK(workflow_->ChoosePhoto(1));
  ChooseDefinition(u"[name] #[001]");
  ASSERT_OK(workflow_->ChooseBaseName(u"lake", true, false));
  EXPECT_EQ(workflow_->NewNameText(), u"Lake #002.JPG");
  // Enter in the base-name box renames at once.
  ASSERT_OK(workflow_->ChooseBaseName(u"Lake", false, true));
  EXPECT_TRUE(Exists("Lake #002.JPG"));
}

TEST_F(NamingTest, AProposalTooLongForTheBoxIsReportedAndLeftOut) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  ChooseDefinition(u"[name] #[001]");
  EXPECT_OK(workflow_->ChooseBaseName(std::u16string(250, u'x'), true, false));
  EXPECT_EQ(workflow_->NewNameText(), u"");
  EXPECT_FALSE(workflow_->CanRename());
  ASSERT_FALSE(presenter_.shown.empty());
  EXPECT_EQ(ShownText(0), Text(IDS_ERR_NEW_NAME_TOO_LONG));
}

TEST_F(NamingTest, AnsweringYesToTheOverwriteQuestionReplacesTheOutsideFile) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00", "photo");
  AddFile("Taken.JPG.txt", "unrelated");
  Scan();
  AddFile("Taken.JPG", "outsider");  // appears after the scan
  presenter_.Answer(IDYES);
  ASSERT_OK(RenameTo(u"Taken.JPG"));
  EXPECT_EQ(Content("Taken.JPG").substr(Content("Taken.JPG").size() - 5), "photo");
  EXPECT_FALSE(Exists("IMG_0001.JPG"));
  EXPECT_EQ(Content("Taken.JPG.txt"), "unrelated");
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"Taken.JPG"}));
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 0);
  // The file replaced went to the recycle bin first, whole.
  EXPECT_EQ(files_.recycled, (std::vector<std::string>{"Taken.JPG"}));
  std::ifstream in(trash_.File("Taken.JPG"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "outsider");
}

// While another program renames in the folder, a rename here is refused with a message and
// changes nothing; afterwards it goes ahead.
TEST_F(NamingTest, ARenameIsRefusedWhileAnotherProgramHoldsTheFolder) {
  ThreeUnnamed();
  ChooseDefinition(u"[name] #[001]");
  ASSERT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
  LinuxFolderLocker other;
  std::unique_ptr<FolderLock> held;
  ASSERT_OK(other.TryLock(Utf8ToUtf16(dir_.path()), &held));
  presenter_.Answer(IDYES);  // proceed with 3
  EXPECT_STATUS(E_INVALID_INPUT, workflow_->RenameRemaining());
  EXPECT_STATUS(E_INVALID_INPUT, RenameTo(u"Beach"));
  // Leaving the photo with its name pending: the rename asked for is refused too, and the person
  // stays on the photo.
  workflow_->NewNameEdited(u"Beach");
  presenter_.Answer(IDYES);  // rename before leaving
  EXPECT_STATUS(E_CANCELLED, workflow_->GoNext());
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
  ASSERT_EQ(presenter_.shown.size(), 5u);
  for (std::size_t i : {1u, 2u, 4u}) {
    EXPECT_EQ(ShownText(i), Text(IDS_ERR_FOLDER_BUSY)) << i;
  }
  held.reset();
  EXPECT_OK(RenameTo(u"Beach"));
  EXPECT_TRUE(Exists("Beach.JPG"));
}

}  // namespace
}  // namespace lumatag
