#include "workflow/FileActions.h"

#include <gtest/gtest.h>

#include "platform/fake/MemoryFileOperations.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

class MoveFileToTest : public testing::Test {
 protected:
  MoveFileToTest() {
    context_.presenter = &presenter_;
    files_.AddFile(u"/photos/a.jpg", "A");
    files_.AddFile(u"/photos/b.jpg", "B");
  }
  AppContext context_;
  ScriptedMessagePresenter presenter_;
  MemoryFileOperations files_;
};

TEST_F(MoveFileToTest, FreeTargetMovesWithoutAQuestion) {
  const MoveResult r = MoveFileTo(context_, files_, u"/photos/a.jpg", u"/photos/c.jpg");
  EXPECT_OK(r.status);
  EXPECT_TRUE(r.moved);
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_EQ(files_.Find(u"/photos/c.jpg")->content, "A");
}

TEST_F(MoveFileToTest, ExistingTargetAsksAndFollowsTheAnswer) {
  struct Case {
    int answer;
    Status status;
    bool moved;
  };
  for (const Case& c : {Case{IDYES, S_OK, true}, Case{kAnswerYesToAll, S_OK, true},
                        Case{IDNO, S_OK, false}, Case{kAnswerNoToAll, S_OK, false},
                        Case{IDCANCEL, E_CANCELLED, false}, Case{0, S_OK, false}}) {
    MemoryFileOperations files;
    files.AddFile(u"/photos/a.jpg", "A");
    files.AddFile(u"/photos/b.jpg", "B");
    presenter_.shown.clear();
    presenter_.Answer(c.answer);
    const MoveResult r = MoveFileTo(context_, files, u"/photos/a.jpg", u"/photos/b.jpg");
    EXPECT_STATUS(c.status, r.status) << c.answer;
    EXPECT_EQ(r.moved, c.moved) << c.answer;
    ASSERT_EQ(presenter_.shown.size(), 1u);
    EXPECT_EQ(presenter_.shown[0].title, u"Overwrite File");
    EXPECT_EQ(presenter_.shown[0].text,
              u"The file \"/photos/b.jpg\" already exists in the destination folder.  Do you want "
              u"to overwrite the file?");
    // Declining leaves both files exactly as they were.
    EXPECT_EQ(files.Find(u"/photos/b.jpg")->content, c.moved ? "A" : "B");
    EXPECT_EQ(files.Exists(u"/photos/a.jpg"), !c.moved);
    // A replaced file is never destroyed: it went to the recycle bin first.
    EXPECT_EQ(files.recycled, c.moved ? std::vector<std::u16string>{u"/photos/b.jpg"}
                                      : std::vector<std::u16string>{})
        << c.answer;
  }
}

TEST_F(MoveFileToTest, QuestionThatCannotBeShownCountsAsNo) {
  context_.presenter = nullptr;
  const MoveResult r = MoveFileTo(context_, files_, u"/photos/a.jpg", u"/photos/b.jpg");
  EXPECT_OK(r.status);
  EXPECT_FALSE(r.moved);
  EXPECT_EQ(files_.Find(u"/photos/b.jpg")->content, "B");
}

TEST_F(MoveFileToTest, OtherFailuresComeBackUnasked) {
  EXPECT_STATUS(E_FILE_NOT_FOUND,
                MoveFileTo(context_, files_, u"/photos/none.jpg", u"/photos/x.jpg").status);
  files_.failMovesAfter = 0;
  files_.failure = MakeStatus(0x80070005);
  EXPECT_STATUS(MakeStatus(0x80070005),
                MoveFileTo(context_, files_, u"/photos/a.jpg", u"/photos/x.jpg").status);
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST(RecycleFileTest, RefusesANameWithoutAFolder) {
  MemoryFileOperations files;
  files.AddFile(u"/photos/a.jpg");
  EXPECT_STATUS(E_INVALID_INPUT, RecycleFile(files, u"a.jpg"));
  EXPECT_TRUE(files.recycled.empty());
  EXPECT_OK(RecycleFile(files, u"/photos/a.jpg"));
  EXPECT_EQ(files.recycled, std::vector<std::u16string>{u"/photos/a.jpg"});
  EXPECT_STATUS(E_FILE_NOT_FOUND, RecycleFile(files, u"/photos/a.jpg"));
}

TEST(ChooseFolderTest, StartsAtTheWorkingFolderAndEndsWithASeparator) {
  struct Chooser : FolderChooser {
    std::u16string start, answer;
    Status status = S_OK;
    Status Choose(std::u16string_view from, std::u16string* folder) override {
      start = from;
      *folder = answer;
      return status;
    }
  } chooser;
  chooser.answer = u"/home/kim/Photos/2013";
  std::u16string folder;
  ASSERT_OK(ChooseFolder(chooser, u"", u"/last/", &folder));
  EXPECT_EQ(chooser.start, u"/last/");
  EXPECT_EQ(folder, u"/home/kim/Photos/2013/");
  ASSERT_OK(ChooseFolder(chooser, u"/work/", u"/last/", &folder));
  EXPECT_EQ(chooser.start, u"/work/");
  chooser.status = E_CANCELLED;
  EXPECT_STATUS(E_CANCELLED, ChooseFolder(chooser, u"/work/", u"", &folder));
}

}  // namespace
}  // namespace lumatag
