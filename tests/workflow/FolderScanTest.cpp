// Scanning a real folder: which files are listed, their order, their classification, the counts,
// the current photo after a scan, and the working folder at start-up.
#include <filesystem>

#include "foundation/StringIds.h"
#include "photobuilder/PhotoBuilder.h"
#include "workflow/WorkflowTestSupport.h"
#include "workflow/WorkingFolder.h"

namespace lumatag {
namespace {

using FolderScanTest = WorkflowTest;

TEST_F(FolderScanTest, ListsOnlyFilesWithAListedExtensionOfAtMostFourCharacters) {
  // An extension of five characters may sit in the list, yet no file is ever listed by it.
  ASSERT_OK(extensions_.Add(u"ABCDE"));
  for (const char* name : {"IMG_1234.JPG", "IMG_1235.JPEG", "photo.jpe", "scan.Tif", "scan.TIFF",
                           "notes.png", "README", "clip.abcde", "trailing.", ".jpg"}) {
    AddPhoto(name, "2013:05:01 10:00:00");
  }
  std::filesystem::create_directory(dir_.File("sub.jpg"));
  Scan();
  std::vector<std::string> names = ListNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".jpg", "IMG_1234.JPG", "photo.jpe", "scan.Tif"}));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(FolderScanTest, OrdersByPictureTakenDateThenByCaseSensitiveName) {
  AddPhoto("late.jpg", "2013:05:03 10:00:00");
  AddPhoto("b.jpg", "2013:05:02 10:00:00");
  AddPhoto("a.jpg", "2013:05:02 10:00:00");
  AddPhoto("B.jpg", "2013:05:02 10:00:00");
  AddPhoto("early.jpg", "2013:05:01 09:59:59");
  Scan();
  const std::vector<std::string> names = ListNames();
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names[0], "early.jpg");
  EXPECT_EQ(names[1], "a.jpg");
  // "b" and "B" tie on the date and do not compare equal: both are listed, next to each other.
  EXPECT_TRUE((names[2] == "b.jpg" && names[3] == "B.jpg") ||
              (names[2] == "B.jpg" && names[3] == "b.jpg"));
  EXPECT_EQ(names[4], "late.jpg");
}

TEST_F(FolderScanTest, ClassifiesCameraNamesAsUnnamedAndCollectsBaseNames) {
  AddPhoto("IMG_1234.JPG", "2013:05:01 10:00:00");
  AddPhoto("Trip #002.JPG", "2013:05:02 10:00:00");
  AddPhoto("Beach (07).JPG", "2013:05:03 10:00:00");
  Scan();
  const PhotoList& list = workflow_->Photos();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_TRUE(list.At(0).flags & kPhotoUnnamed);
  EXPECT_EQ(list.At(0).number, 1234u);
  EXPECT_FALSE(list.At(1).flags & kPhotoUnnamed);
  EXPECT_EQ(list.At(1).patternIndex, PatternIndex(u"[name] #[001]"));
  EXPECT_EQ(list.At(1).number, 2u);
  EXPECT_EQ(list.At(1).fileName.View().substr(list.At(1).baseNameStart, list.At(1).baseNameLength),
            u"Trip");
  EXPECT_EQ(list.UnnamedCount(), 1);
  EXPECT_GE(list.BaseNames().Find(u"trip"), 0);
  EXPECT_GE(list.BaseNames().Find(u"Beach"), 0);
  EXPECT_GE(list.BaseNames().NoBaseNameIndex(), 0);
  // Mode "Unnamed photos": the unnamed photo is current.
  settings_.fileNavigationMode = kNavigateUnnamed;
  PhotoWorkflow unnamed(services_);
  ASSERT_OK(unnamed.RefreshPhotoList(true, true));
  EXPECT_EQ(unnamed.Photos().CurrentIndex(), 0);
}

// Base names that differ only in case are one entry, spelled as adding the names one by one in
// list order would have kept it.
TEST_F(FolderScanTest, BaseNamesEqualButForCaseAreListedOnce) {
  AddPhoto("trip #003.JPG", "2013:05:01 10:00:00");
  AddPhoto("TRIP #001.JPG", "2013:05:02 10:00:00");
  AddPhoto("Trip #002.JPG", "2013:05:03 10:00:00");
  AddPhoto("Beach #001.JPG", "2013:05:04 10:00:00");
  AddPhoto("beach #002.JPG", "2013:05:05 10:00:00");
  Scan();
  const PhotoList& list = workflow_->Photos();
  ASSERT_EQ(list.Count(), 5);
  BaseNameList expected;
  ASSERT_OK(expected.Reset(StringModule::BuiltIn()));
  for (int i = 0; i < list.Count(); ++i) {
    const PhotoEntry& photo = list.At(i);
    int index = -1;
    ASSERT_OK(expected.Add(photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength),
                           &index));
  }
  ASSERT_EQ(list.BaseNames().Count(), 3);
  ASSERT_EQ(expected.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.BaseNames().At(i), expected.At(i));
}

TEST_F(FolderScanTest, UnnamedModeWithNoneLeftSelectsTheFirstPhotoAndDisablesStepping) {
  AddPhoto("Trip #001.JPG", "2013:05:01 10:00:00");
  AddPhoto("Trip #002.JPG", "2013:05:02 10:00:00");
  settings_.fileNavigationMode = kNavigateUnnamed;
  ASSERT_OK(app_.CreateWorkflow(view_));
  workflow_ = &app_.Workflow();
  Scan();
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 0);
  EXPECT_FALSE(workflow_->Photos().IsVisibleInMode(0));
  EXPECT_FALSE(workflow_->CanGoNext());
  EXPECT_FALSE(workflow_->CanGoPrevious());
  EXPECT_FALSE(workflow_->CanGoFirst());
  EXPECT_TRUE(workflow_->CanDelete());
}

TEST_F(FolderScanTest, FolderOfSubfoldersOnlyGivesAnEmptyListAndZeroCounts) {
  std::filesystem::create_directory(dir_.File("2013"));
  std::filesystem::create_directory(dir_.File("IMG_0001.JPG"));
  Scan();
  const PhotoList& list = workflow_->Photos();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.CurrentIndex(), -1);
  CountedString text;
  ASSERT_OK(list.PhotoIndexText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"Photo #0 of 0.");
  ASSERT_OK(list.UnnamedCountText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"0 photos still to be named.");
  EXPECT_FALSE(workflow_->CanDelete());
  EXPECT_FALSE(workflow_->CanGoFirst());
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_EQ(view_.waits, (std::vector<bool>{true, false}));
  EXPECT_EQ(view_.filled, kRefreshAll);
}

TEST_F(FolderScanTest, MissingFolderSaysSoAndLeavesTheListEmpty) {
  ASSERT_OK(settings_.imageFolder.Assign(Utf8ToUtf16(dir_.File("gone"))));
  EXPECT_STATUS(E_PATH_NOT_FOUND, workflow_->RefreshPhotoList(true, true));
  EXPECT_EQ(workflow_->Photos().Count(), 0);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(ShownText(0), StringModule::BuiltIn().Text(IDS_FOLDER_DOES_NOT_EXIST));
}

TEST_F(FolderScanTest, RescanWithoutClearKeepsTheList) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  ASSERT_OK(workflow_->RefreshPhotoList(false, false));
  EXPECT_EQ(workflow_->Photos().Count(), 1);
  ASSERT_OK(workflow_->RefreshPhotoList(true, false));
  EXPECT_EQ(workflow_->Photos().Count(), 2);
}

TEST_F(FolderScanTest, RescanKeepsTheOldListOnShowUntilTheNewOneIsReady) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  int shownDuringScan = -1;
  view_.duringScan = [&] { shownDuringScan = workflow_->Photos().Count(); };
  ASSERT_OK(workflow_->RefreshPhotoList(true, false));
  EXPECT_EQ(shownDuringScan, 1);
  EXPECT_EQ(workflow_->Photos().Count(), 2);
}

TEST_F(FolderScanTest, CancelledRescanDropsTheOldListAndRefillsTheWindow) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  Scan();
  ASSERT_OK(workflow_->SelectPhoto(1));
  view_.cancelScans = true;
  view_.filled = 0;
  view_.waits.clear();
  // The list may belong to another folder by now: it must not stay behind on show.
  EXPECT_STATUS(E_CANCELLED, workflow_->RefreshPhotoList(true, false));
  EXPECT_EQ(workflow_->Photos().Count(), 0);
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), -1);
  EXPECT_EQ(view_.filled, kRefreshAll);
  EXPECT_EQ(view_.waits, (std::vector<bool>{true, false}));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(FolderScanTest, QuickPassReadsDatesAndPatternTagsOnlyAndSelectingReadsTheRest) {
  photo::PhotoBuilder builder;
  builder.Ascii(photo::Ifd::kExif, 0x9003, "2013:05:01 10:00:00")
      .Ascii(photo::Ifd::kPrimary, 0x8298, "Me")          // Copyright: named by a pattern
      .Ascii(photo::Ifd::kPrimary, 0x010F, "Camera Co");  // Make: named by none
  const photo::Bytes bytes = builder.Jpeg();
  AddFile("IMG_0001.JPG", std::string(bytes.begin(), bytes.end()));
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  Scan();
  const PhotoList& list = workflow_->Photos();
  ASSERT_EQ(list.CurrentIndex(), 0);
  // The current photo had its full pass; the other only its quick pass.
  EXPECT_NE(FindMetadataEntry(list.At(0), 0x010F), nullptr);
  EXPECT_TRUE(list.At(0).flags & kPhotoFullyRead);
  EXPECT_FALSE(list.At(1).flags & kPhotoFullyRead);
  EXPECT_TRUE(workflow_->QuickPassTags().Contains(0x8298));
  EXPECT_TRUE(workflow_->QuickPassTags().Contains(0x9003));
  EXPECT_FALSE(workflow_->QuickPassTags().Contains(0x010F));
}

class FakeFolders final : public StandardFolders {
 public:
  Status PicturesFolder(std::u16string* folder) override {
    if (Failed(status)) return status;
    *folder = pictures;
    return S_OK;
  }
  std::u16string pictures;
  Status status = S_OK;
};

TEST_F(FolderScanTest, WorkingFolderAtStartUp) {
  FakeFolders folders;
  folders.pictures = u"/home/someone/Pictures";
  PicturesFolderRule rule(files_, folders);
  struct Case {
    Status read;
    std::u16string stored;
    Status pictures;
    std::u16string expected;
  };
  const std::u16string existing = Utf8ToUtf16(dir_.path());
  const Case cases[] = {
      {S_OK, existing, S_OK, existing},
      {S_OK, existing + u"/missing", S_OK, u"/home/someone/Pictures"},
      {S_OK, u"", S_OK, u"/home/someone/Pictures"},
      {E_FAIL, existing, S_OK, u"/home/someone/Pictures"},
      {S_OK, u"", E_PATH_NOT_FOUND, u""},
  };
  for (const Case& c : cases) {
    folders.status = c.pictures;
    CountedString folder;
    ASSERT_OK(folder.Assign(c.stored));
    rule.Apply(c.read, folder);
    EXPECT_EQ(std::u16string(folder.View()), c.expected) << Utf16ToUtf8(c.stored);
  }
}

class ScriptedChooser final : public FolderChooser {
 public:
  Status Choose(std::u16string_view startFolder, std::u16string* folder) override {
    started = std::u16string(startFolder);
    if (Failed(answer)) return answer;
    *folder = chosen;
    return S_OK;
  }
  std::u16string started;
  std::u16string chosen;
  Status answer = S_OK;
};

TEST_F(FolderScanTest, FolderCommandRescansTheChosenFolder) {
  std::filesystem::create_directory(dir_.File("2013"));
  AddPhoto("2013/IMG_0001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  Scan();
  ASSERT_EQ(workflow_->Photos().Count(), 1);
  ScriptedChooser chooser;
  chooser.chosen = Utf8ToUtf16(dir_.File("2013/"));
  std::u16string chosen;
  ASSERT_OK(workflow_->ChooseFolderCommand(chooser, u"", &chosen));
  EXPECT_EQ(chooser.started, Utf8ToUtf16(dir_.path()));
  EXPECT_EQ(chosen, Utf8ToUtf16(dir_.File("2013/")));
  EXPECT_EQ(workflow_->WorkingFolder(), chosen);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"IMG_0001.JPG"}));
  EXPECT_TRUE(app_.SettingsChanged());
  chooser.answer = E_CANCELLED;
  EXPECT_STATUS(E_CANCELLED, workflow_->ChooseFolderCommand(chooser, u"", &chosen));
  EXPECT_TRUE(presenter_.shown.empty());
  chooser.answer = E_FAIL;
  EXPECT_STATUS(E_FAIL, workflow_->ChooseFolderCommand(chooser, u"", &chosen));
  EXPECT_EQ(ShownText(0), StringModule::BuiltIn().Text(IDS_ERR_CHANGING_FOLDER));
}

}  // namespace
}  // namespace lumatag
