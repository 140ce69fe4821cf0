// Companion files (RAW, XMP sidecars, THM, AAE) renamed with their photo: which files go along,
// the photo and its companions as one unit, and the workflow unchanged with companions off.
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/StringIds.h"
#include "workflow/Companions.h"
#include "workflow/WorkflowTestSupport.h"

namespace lumatag {
namespace {

class CompanionTest : public WorkflowTest {
 protected:
  void AddPhotos(const std::vector<std::string>& photos) {
    for (std::size_t i = 0; i < photos.size(); ++i) {
      AddPhoto(photos[i], "2013:05:0" + std::to_string(i + 1) + " 10:00:00", photos[i]);
    }
  }
  void AddFiles(const std::vector<std::string>& names) {
    for (const std::string& name : names) AddFile(name, "file " + name);
  }
  // Rename Remaining of every photo with "[name] #[001]" and base name Trip; `expected` is the
  // batch's status.
  int RenameAll(Status expected = S_OK) {
    Scan();
    ChooseDefinition(u"[name] #[001]");
    EXPECT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
    EXPECT_OK(workflow_->ChoosePhoto(0));
    presenter_.Answer(IDYES);
    int renamed = 0;
    EXPECT_STATUS(expected, workflow_->RenameRemaining(&renamed, true, false));
    return renamed;
  }
};

TEST(CompanionExtensionTest, RawAndSidecarExtensionsInAnyCase) {
  for (const char16_t* raw : {u"CR2", u"cr3", u"NEF", u"nrw", u"ARW", u"SR2", u"ORF", u"RW2",
                              u"RAF", u"dng", u"PEF", u"SRW", u"3FR", u"IIQ", u"x3f"}) {
    EXPECT_TRUE(IsRawExtension(raw)) << Utf16ToUtf8(raw);
  }
  for (const char16_t* sidecar : {u"XMP", u"xmp", u"THM", u"AAE"}) {
    EXPECT_FALSE(IsRawExtension(sidecar));
    EXPECT_TRUE(IsCompanionExtension(sidecar));
  }
  for (const char16_t* other : {u"JPG", u"TIF", u"txt", u"", u"CR", u"XMPP"}) {
    EXPECT_FALSE(IsCompanionExtension(other)) << Utf16ToUtf8(other);
  }
}

// Which files go along with their photo, and the names they take (their own extension kept, in
// its own case).
TEST_F(CompanionTest, CompanionsMoveWithTheirPhoto) {
  struct Case {
    const char* name;
    std::vector<std::string> photos;  // in date order
    std::vector<std::string> others;
    std::vector<std::string> after;  // every file of the folder, sorted
  };
  const Case cases[] = {
      {"RAW, JPEG and XMP",
       {"IMG_0001.JPG"},
       {"IMG_0001.CR2", "IMG_0001.xmp"},
       {"Trip #001.CR2", "Trip #001.JPG", "Trip #001.xmp"}},
      {"sidecars named after the whole file",
       {"IMG_0001.JPG"},
       {"IMG_0001.JPG.xmp", "IMG_0001.NEF", "IMG_0001.NEF.XMP"},
       {"Trip #001.JPG", "Trip #001.JPG.xmp", "Trip #001.NEF", "Trip #001.NEF.XMP"}},
      {"thumbnail and edit record",
       {"IMG_0001.JPG"},
       {"IMG_0001.THM", "IMG_0001.aae"},
       {"Trip #001.JPG", "Trip #001.THM", "Trip #001.aae"}},
      {"stem in another letter case",
       {"IMG_0001.JPG"},
       {"img_0001.cr2"},
       {"Trip #001.JPG", "Trip #001.cr2"}},
      {"a RAW file without its photo and unrelated files stay",
       {"IMG_0001.JPG", "IMG_0002.JPG"},
       {"IMG_0003.CR2", "IMG_0001.txt", "IMG_00011.CR2", "IMG_0002.JPG.txt"},
       {"IMG_0001.txt", "IMG_00011.CR2", "IMG_0002.JPG.txt", "IMG_0003.CR2", "Trip #001.JPG",
        "Trip #002.JPG"}},
      {"two photos of one stem leave the stem's companions alone",
       {"IMG_0001.JPG", "IMG_0001.TIF"},
       {"IMG_0001.CR2", "IMG_0001.TIF.xmp"},
       {"IMG_0001.CR2", "Trip #001.JPG", "Trip #001.TIF", "Trip #001.TIF.xmp"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& file : Files()) std::filesystem::remove(dir_.File(file));
    AddPhotos(c.photos);
    AddFiles(c.others);
    EXPECT_EQ(RenameAll(), static_cast<int>(c.photos.size()));
    EXPECT_EQ(Files(), c.after);
  }
  // Companions keep their content: they were moved, not copied or rewritten.
  EXPECT_EQ(Content("Trip #001.TIF.xmp"), "file IMG_0001.TIF.xmp");
}

// A companion's new name taken by another file (in any letter case): the batch moves on to a
// number free for every member, and that file is left alone.
TEST_F(CompanionTest, TheUniqueNameIsUniqueForEveryMember) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  AddFiles({"IMG_0001.CR2", "IMG_0002.CR2", "Trip #002.CR2", "trip #003.cr2"});
  EXPECT_EQ(RenameAll(), 2);
  EXPECT_EQ(Files(), (std::vector<std::string>{"Trip #001.CR2", "Trip #001.JPG", "Trip #002.CR2",
                                               "Trip #004.CR2", "Trip #004.JPG", "trip #003.cr2"}));
  EXPECT_EQ(Content("Trip #002.CR2"), "file Trip #002.CR2");
}

// Renaming one photo to a name whose companion name is taken asks for a unique name; No leaves
// every file of the unit where it was.
TEST_F(CompanionTest, ATakenCompanionNameBlocksTheWholeUnit) {
  AddPhotos({"IMG_0001.JPG"});
  AddFiles({"IMG_0001.CR2", "IMG_0001.xmp", "Beach.xmp"});
  Scan();
  const std::vector<std::string> before = Files();
  ASSERT_OK(workflow_->ChoosePhoto(0));
  workflow_->NewNameEdited(u"Beach");
  presenter_.Answer(IDNO);
  EXPECT_TRUE(Failed(workflow_->Rename()));
  EXPECT_EQ(Files(), before);
  EXPECT_EQ(ListNames(), std::vector<std::string>{"IMG_0001.JPG"});
  ASSERT_FALSE(presenter_.shown.empty());
  EXPECT_NE(ShownText(0).find(u"not unique"), std::u16string::npos) << Utf16ToUtf8(ShownText(0));
}

// A companion that cannot move after its photo did: the members that moved go back.
TEST_F(CompanionTest, AFailedCompanionMovePutsTheUnitBack) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  AddFiles({"IMG_0001.CR2", "IMG_0001.xmp", "IMG_0002.CR2"});
  files_.failMoveTo = "Trip #001.xmp";
  EXPECT_EQ(RenameAll(E_PHOTOS_NOT_RENAMED), 1);
  // The photo whose unit could not move is named after the batch.
  ASSERT_FALSE(presenter_.shown.empty());
  const std::u16string said = ShownText(presenter_.shown.size() - 1);
  EXPECT_NE(said.find(u"IMG_0001.JPG"), std::u16string::npos) << Utf16ToUtf8(said);
  // The first unit is back as it was; the second photo took the first number.
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.CR2", "IMG_0001.JPG", "IMG_0001.xmp",
                                               "Trip #001.CR2", "Trip #001.JPG"}));
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"IMG_0001.JPG", "Trip #001.JPG"}));
}

// With companions off only photos move, and a file in a companion's way changes nothing.
TEST_F(CompanionTest, CompanionsOffRenamesThePhotosAlone) {
  settings_.renameCompanions = false;
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG"});
  AddFiles({"IMG_0001.CR2", "IMG_0001.JPG.xmp", "Trip #001.CR2"});
  EXPECT_EQ(RenameAll(), 2);
  EXPECT_EQ(Files(), (std::vector<std::string>{"IMG_0001.CR2", "IMG_0001.JPG.xmp", "Trip #001.CR2",
                                               "Trip #001.JPG", "Trip #002.JPG"}));
}

// The person's single rename takes its companions along and reports each move.
TEST_F(CompanionTest, ASingleRenameTakesItsCompanionsAlong) {
  AddPhotos({"IMG_0001.JPG"});
  AddFiles({"IMG_0001.ARW", "IMG_0001.ARW.xmp"});
  Scan();
  std::vector<std::string> reported;
  workflow_->onRenamed = [&](std::u16string_view from, std::u16string_view to) {
    reported.push_back(Utf16ToUtf8(from) + " -> " + Utf16ToUtf8(to));
  };
  workflow_->onCompanionRenamed = [&](std::u16string_view from, std::u16string_view to) {
    reported.push_back("  " + Utf16ToUtf8(from) + " -> " + Utf16ToUtf8(to));
  };
  ASSERT_OK(workflow_->ChoosePhoto(0));
  workflow_->NewNameEdited(u"Beach");
  ASSERT_OK(workflow_->Rename());
  EXPECT_EQ(reported,
            (std::vector<std::string>{"IMG_0001.JPG -> Beach.JPG", "  IMG_0001.ARW -> Beach.ARW",
                                      "  IMG_0001.ARW.xmp -> Beach.ARW.xmp"}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"Beach.ARW", "Beach.ARW.xmp", "Beach.JPG"}));
}

// The confirmation of Rename Remaining lists every rename the batch makes, companions under their
// photo; answering No changes nothing, Yes makes exactly the renames listed.
TEST_F(CompanionTest, TheConfirmationListsEveryRenameOfTheBatch) {
  AddPhotos({"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"});
  AddFiles({"IMG_0002.CR2", "IMG_0002.CR2.xmp", "Trip #002.CR2.xmp"});
  Scan();
  ChooseDefinition(u"[name] #[001]");
  ASSERT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
  ASSERT_OK(workflow_->ChoosePhoto(0));
  const std::vector<std::string> files = Files();
  const std::u16string expected =
      u"IMG_0001.JPG \u2192 Trip #001.JPG\n"
      u"IMG_0002.JPG \u2192 Trip #003.JPG\n"  // #002 is blocked by a sidecar's name
      u"  IMG_0002.CR2 \u2192 Trip #003.CR2\n"
      u"  IMG_0002.CR2.xmp \u2192 Trip #003.CR2.xmp\n"
      u"IMG_0003.JPG \u2192 Trip #004.JPG";

  presenter_.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, workflow_->RenameRemaining(nullptr, true, false));
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].details, expected);
  EXPECT_EQ(Files(), files);
  EXPECT_EQ(ListNames(),
            (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}));
  EXPECT_EQ(workflow_->Photos().UnnamedCount(), 3);
  EXPECT_EQ(workflow_->Photos().CurrentIndex(), 0);

  std::u16string made;
  workflow_->onRenamed = [&](std::u16string_view from, std::u16string_view to) {
    made += (made.empty() ? u"" : u"\n") + std::u16string(from) + u" \u2192 " + std::u16string(to);
  };
  workflow_->onCompanionRenamed = [&](std::u16string_view from, std::u16string_view to) {
    made += u"\n  " + std::u16string(from) + u" \u2192 " + std::u16string(to);
  };
  presenter_.Answer(IDYES);
  int renamed = 0;
  EXPECT_OK(workflow_->RenameRemaining(&renamed, true, false));
  EXPECT_EQ(renamed, 3);
  EXPECT_EQ(presenter_.shown[1].details, expected);
  EXPECT_EQ(made, expected);
}

TEST(RenamePlanTextTest, NamesWithPlaceholdersStayAsTheyAre) {
  std::u16string text;
  ASSERT_OK(RenamePlanText(StringModule::BuiltIn(),
                           {{u"a{2}.JPG", u"b{1}.JPG", false}, {u"a.CR2", u"b.CR2", true}}, &text));
  EXPECT_EQ(text, u"a{2}.JPG \u2192 b{1}.JPG\n  a.CR2 \u2192 b.CR2");
}

}  // namespace
}  // namespace lumatag
