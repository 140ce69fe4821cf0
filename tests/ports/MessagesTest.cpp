#include "ports/Messages.h"

#include <gtest/gtest.h>

#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

class MessagesTest : public testing::Test {
 protected:
  MessagesTest() {
    context_.presenter = &presenter_;
    EXPECT_OK(context_.title.Assign(u"Lumatag"));
  }
  // Makes every entry missing, so that no text can be prepared.
  void UseEmptyTable() { context_.resourceModule = &empty_; }

  AppContext context_;
  ScriptedMessagePresenter presenter_;
  StringModule empty_;
};

TEST_F(MessagesTest, FrontEndsUseTheirBoxStyles) {
  presenter_.Answer(IDYES);
  presenter_.Answer(IDYES);
  presenter_.Answer(IDCANCEL);
  EXPECT_EQ(AskYesNo(context_, IDS_ASK_PROPOSE_UNIQUE_NAME), IDYES);
  EXPECT_EQ(AskProposeUniqueName(context_), IDYES);
  EXPECT_EQ(AskRenameBeforeProceeding(context_), IDCANCEL);
  EXPECT_EQ(ShowErrorMessage(context_, IDS_OUT_OF_MEMORY), IDOK);
  EXPECT_EQ(ShowInformation(context_, IDS_NO_VALUE), IDOK);
  ASSERT_EQ(presenter_.shown.size(), 5u);
  EXPECT_EQ(presenter_.shown[0].flags, 0x144u);
  EXPECT_EQ(presenter_.shown[1].flags, 0x44u);
  EXPECT_EQ(presenter_.shown[2].flags, 0x43u);
  EXPECT_EQ(presenter_.shown[3].flags, 0x10u);
  EXPECT_EQ(presenter_.shown[4].flags, 0x40u);
  EXPECT_EQ(presenter_.shown[2].text,
            u"The photo's name was changed but not saved.  Do you want to rename the photo before "
            u"proceeding?");
  EXPECT_EQ(presenter_.shown[0].title, u"Lumatag");
}

TEST_F(MessagesTest, FallbackAnswersWhenTheTextCannotBePrepared) {
  UseEmptyTable();
  EXPECT_EQ(AskProposeUniqueName(context_), IDYES);
  EXPECT_EQ(AskRenameBeforeProceeding(context_), IDNO);
  EXPECT_EQ(AskYesNo(context_, IDS_NO_VALUE), IDNO);
  EXPECT_STATUS(E_RESOURCE_NOT_FOUND, ShowErrorMessage(context_, IDS_OUT_OF_MEMORY));
  EXPECT_STATUS(E_RESOURCE_NOT_FOUND, ShowInformation(context_, IDS_NO_VALUE, u"x"));
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(MessagesTest, TextLongerThan255AfterSubstitutionIsNotShown) {
  const std::u16string name(250, u'n');
  // "Contact {1}" is 11 characters; with 250 more it no longer fits.
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, ShowInformation(context_, IDS_CONTACT_TITLE, name.c_str()));
  EXPECT_EQ(AskYesNo(context_, IDS_CONTACT_TITLE, name.c_str()), IDNO);
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_EQ(ShowInformation(context_, IDS_CONTACT_TITLE, u"Lumatag"), IDOK);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, u"Contact Lumatag");
}

TEST_F(MessagesTest, StatusErrorPicksTheEntryForTheStatus) {
  struct Case {
    Status status;
    const char16_t* text;
  };
  for (const Case& c :
       {Case{E_RESOURCE_NOT_FOUND, u"Could not find an application resource."},
        Case{E_BUFFER_TOO_SMALL, u"The current operation failed because a buffer was too small."},
        Case{E_PATH_NOT_FOUND, u"The specified folder does not exist."},
        Case{E_GRAPHICS_RESOURCES, u"Out of graphics resources."},
        Case{E_OUTOFMEMORY, u"Out of memory."}, Case{E_FAIL, u"No value was specified."}}) {
    presenter_.shown.clear();
    EXPECT_EQ(ShowStatusError(context_, c.status, IDS_NO_VALUE), IDOK);
    ASSERT_EQ(presenter_.shown.size(), 1u);
    EXPECT_EQ(presenter_.shown[0].text, c.text);
  }
}

TEST_F(MessagesTest, BoxIsOwnedOnlyByAVisibleMainWindowAndMarksTheActivity) {
  context_.activityState = 3;
  int stateDuringBox = -1;
  presenter_.onShow = [&] { stateDuringBox = context_.activityState; };
  ShowMessage(context_, u"one", MB_OK);
  context_.mainWindowVisible = true;
  ShowMessage(context_, u"two", MB_OK);
  EXPECT_EQ(stateDuringBox, kActivityMessageBox);
  EXPECT_EQ(context_.activityState, 3);
  EXPECT_FALSE(presenter_.shown[0].owned);
  EXPECT_TRUE(presenter_.shown[1].owned);
}

TEST(OutOfMemoryMessageTest, AllocationFailureShowsOutOfMemoryOnceAndReturnsTheStatus) {
  AppContext context;
  ScriptedMessagePresenter presenter;
  context.presenter = &presenter;
  InstallOutOfMemoryMessage(context);
  PrivateHeap& heap = PrivateHeap::Process();
  heap.FailAllocationsAfter(0);
  CountedString s;
  const Status status = s.Assign(u"needs storage");
  heap.FailAllocationsAfter(-1);
  EXPECT_STATUS(E_OUTOFMEMORY, status);
  EXPECT_EQ(s.Length(), 0);
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].text, u"Out of memory.");
  EXPECT_EQ(presenter.shown[0].flags, MB_OK | MB_ICONERROR);
}

}  // namespace
}  // namespace lumatag
