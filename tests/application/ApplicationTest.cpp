// The application host: start-up from the settings store, saving both setting groups, the Folder
// command, exit, and applying a dialog's copy of the settings.
#include <filesystem>

#include "foundation/StringIds.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/LinuxJournalStore.h"
#include "platform/linux/PosixReadableFile.h"
#include "workflow/WorkflowTestSupport.h"

namespace lumatag {
namespace {

class ChosenFolder final : public FolderChooser {
 public:
  explicit ChosenFolder(std::u16string folder) : folder_(std::move(folder)) {}
  Status Choose(std::u16string_view, std::u16string* folder) override {
    if (folder_.empty()) return E_CANCELLED;
    *folder = folder_;
    return S_OK;
  }

 private:
  std::u16string folder_;
};

class ApplicationTest : public WorkflowTest {
 protected:
  // A second application over the same settings store, loaded as at the next start.
  std::unique_ptr<Application> Restart() {
    ApplicationPorts ports;
    ports.registry = &registry_;
    ports.files = &files_;
    ports.readableFiles = &PlatformReadableFileSystem();
    ports.folders = &folders_;
    ports.sounds = &sounds_;
    ports.presenter = &presenter_;
    ports.textComparer = &PlatformTextComparer();
    auto next = std::make_unique<Application>(ports);
    EXPECT_OK(next->Load());
    return next;
  }
};

// Undo Rename of the desktop: the working folder's last batch, asked with its count, undone, the
// list rescanned; the undo can itself be undone, and another folder has nothing to undo.
TEST_F(ApplicationTest, UndoRenameGivesTheWorkingFoldersLastBatchItsOldNamesBack) {
  TempDir state;
  LinuxJournalStore journal(state.File("journal"));
  ApplicationPorts ports;
  ports.registry = &registry_;
  ports.files = &files_;
  ports.readableFiles = &PlatformReadableFileSystem();
  ports.folders = &folders_;
  ports.sounds = &sounds_;
  ports.presenter = &presenter_;
  ports.textComparer = &PlatformTextComparer();
  ports.journal = &journal;
  Application app(ports);
  ASSERT_OK(app.Load());
  RecordingView view;
  ASSERT_OK(app.CreateWorkflow(view));
  ASSERT_OK(app.Scan());
  EXPECT_FALSE(app.CanUndoRename());

  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 10:00:00");
  AddFile("IMG_0002.CR2", "raw");
  const std::vector<std::string> before = Files();
  ASSERT_OK(app.Workflow().RefreshPhotoList(true, true));
  const int hash = PatternIndex(u"[name] #[001]");
  ASSERT_OK(app.Workflow().ChoosePattern(catalogue_.At(hash).name.View()));
  ASSERT_OK(app.Workflow().ChooseBaseName(u"Trip", true, false));
  ASSERT_OK(app.Workflow().ChoosePhoto(0));
  ASSERT_OK(app.Workflow().RenameRemaining(nullptr, false, false));
  const std::vector<std::string> renamed = Files();
  ASSERT_NE(renamed, before);
  EXPECT_TRUE(app.CanUndoRename());

  presenter_.shown.clear();
  presenter_.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, app.UndoRenameCommand());
  EXPECT_EQ(Files(), renamed);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_NE(presenter_.shown[0].text.find(u"names of 3 files"), std::u16string::npos)
      << Utf16ToUtf8(presenter_.shown[0].text);

  presenter_.shown.clear();
  presenter_.Answer(IDYES);
  ASSERT_OK(app.UndoRenameCommand());
  EXPECT_EQ(Files(), before);
  std::vector<std::string> listed;
  for (int i = 0; i < app.Workflow().Photos().Count(); ++i) {
    listed.push_back(app.Workflow().Photos().At(i).fileName.ToUtf8());
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"IMG_0001.JPG", "IMG_0002.JPG"}));
  ASSERT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(presenter_.shown[1].text, u"3 files got their old names back.");

  // The undo is the folder's last batch now: undoing it renames again.
  EXPECT_TRUE(app.CanUndoRename());
  presenter_.Answer(IDYES);
  ASSERT_OK(app.UndoRenameCommand());
  EXPECT_EQ(Files(), renamed);

  std::filesystem::create_directory(dir_.File("other"));
  ASSERT_OK(app.Naming().imageFolder.Assign(Utf8ToUtf16(dir_.File("other"))));
  EXPECT_FALSE(app.CanUndoRename());
  presenter_.shown.clear();
  EXPECT_OK(app.UndoRenameCommand());
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(ApplicationTest, TheFolderCommandSavesBothSettingGroups) {
  std::filesystem::create_directory(dir_.File("2013"));
  AddPhoto("2013/IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  app_.Window().appWindowLeft = 123;
  settings_.fileCheckBeeps = false;
  const std::u16string chosen = Utf8ToUtf16(dir_.File("2013/"));
  ChosenFolder chooser(chosen);
  ASSERT_OK(app_.FolderCommand(chooser));
  EXPECT_FALSE(app_.SettingsChanged());
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"IMG_0001.JPG"}));

  const auto next = Restart();
  EXPECT_EQ(next->Naming().imageFolder.View(), chosen);
  EXPECT_FALSE(next->Naming().fileCheckBeeps);
  EXPECT_EQ(next->Window().appWindowLeft, 123);

  // A cancelled choice changes and saves nothing.
  const int changes = registry_.ChangeCount();
  ChosenFolder cancel(u"");
  EXPECT_STATUS(E_CANCELLED, app_.FolderCommand(cancel));
  EXPECT_EQ(registry_.ChangeCount(), changes);
}

TEST_F(ApplicationTest, ExitIsRefusedWhileBusyAndSavesOnlyWhenChanged) {
  app_.SetBusy(1);
  EXPECT_STATUS(E_FAIL, app_.Exit());
  EXPECT_EQ(ShownText(0), StringModule::BuiltIn().Text(IDS_ERR_CANNOT_EXIT));
  app_.SetBusy(0);
  const int changes = registry_.ChangeCount();
  ASSERT_OK(app_.Exit());
  EXPECT_EQ(registry_.ChangeCount(), changes);
  settings_.showWindowTips = false;
  app_.MarkSettingsChanged();
  ASSERT_OK(app_.Exit());
  EXPECT_FALSE(Restart()->Naming().showWindowTips);
}

TEST_F(ApplicationTest, ApplyingACopySavesAtOnceAndSaysWhatToRefresh) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  AddPhoto("IMG_0002.TIF", "2013:05:02 10:00:00");
  Scan();
  struct Case {
    const char* name;
    void (*edit)(SettingsCopy&);
    bool changed;
    bool rescanned;
    std::uint32_t refresh;
    std::size_t photos;
  };
  const Case cases[] = {
      {"nothing", [](SettingsCopy&) {}, false, false, kRefreshEnabling, 2},
      {"preview", [](SettingsCopy& c) { c.showFilePreview = false; }, true, false,
       kRefreshEnabling | kRefreshPreview, 2},
      {"beeps", [](SettingsCopy& c) { c.fileCheckBeeps = false; }, true, false, kRefreshEnabling,
       2},
      // Alone it must still be saved, or it would be lost at exit.
      {"same pattern as last", [](SettingsCopy& c) { c.baseOnLast = false; }, true, false,
       kRefreshEnabling, 2},
      {"default pattern", [](SettingsCopy& c) { c.patterns.SetDefaultIndex(3); }, true, false,
       kRefreshEnabling | kRefreshNewName | kRefreshPattern, 2},
      {"extensions",
       [](SettingsCopy& c) {
         int tif = -1;
         ASSERT_TRUE(c.extensions.Find(u"TIF", &tif));
         c.extensions.RemoveAt(tif);
       },
       true, true, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettingsCopy copy;
    ASSERT_OK(app_.CopySettings(&copy));
    c.edit(copy);
    const int changes = registry_.ChangeCount();
    SettingsApplied applied;
    ASSERT_OK(app_.ApplySettingsCopy(copy, &applied));
    EXPECT_EQ(applied.changed, c.changed);
    EXPECT_EQ(applied.rescanned, c.rescanned);
    EXPECT_EQ(applied.refresh, c.refresh);
    EXPECT_EQ(ListNames().size(), c.photos);
    // Saved at once when something changed, and only then.
    EXPECT_EQ(registry_.ChangeCount() > changes, c.changed);
    EXPECT_FALSE(app_.SettingsChanged());
  }
  EXPECT_FALSE(Restart()->Naming().showFilePreview);
  EXPECT_FALSE(Restart()->Naming().baseOnLast);
  EXPECT_FALSE(Restart()->Extensions().Find(u"TIF"));
}

TEST_F(ApplicationTest, TheCurrentPatternStaysTheSamePatternWhenTheCatalogueIsResorted) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
  Scan();
  ChooseDefinition(u"[name] #[001]");
  const std::u16string current(catalogue_.At(workflow_->Naming().pattern).name.View());
  const int before = workflow_->Naming().pattern;
  ASSERT_GT(before, 0);

  // The copy loses the pattern sorted first: every later pattern moves up by one.
  SettingsCopy copy;
  ASSERT_OK(app_.CopySettings(&copy));
  copy.patterns.RemoveAt(0);
  SettingsApplied applied;
  ASSERT_OK(app_.ApplySettingsCopy(copy, &applied));
  EXPECT_TRUE(applied.rescanned);
  EXPECT_EQ(workflow_->Naming().pattern, before - 1);
  EXPECT_EQ(catalogue_.At(workflow_->Naming().pattern).name.View(), current);
  ASSERT_OK(workflow_->ChooseBaseName(u"Trip", true, false));
  EXPECT_EQ(workflow_->NewNameText(), u"Trip #001.JPG");
}

}  // namespace
}  // namespace lumatag
