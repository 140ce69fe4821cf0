// Loading and saving the window and naming records, the lists behind their seams, the notice of a
// damaged settings file, and fitting rectangles to a work area.
#include "ports/SettingsRecords.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/MemoryRegistryStore.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

// A list behind the subkey seam that records what it was given.
class RecordingList final : public SettingsSubkeyList {
 public:
  Status LoadFromSettings(SettingsStore& store, const SettingsKey& subkey, AppContext&,
                          bool* settingsChanged) override {
    ++loads;
    RegistryKeyInfo info;
    if (Succeeded(store.QueryKeyInfo(subkey, &info)))
      seenValues = static_cast<int>(info.valueCount);
    if (markChanged) *settingsChanged = true;
    return S_OK;
  }
  Status SaveToSettings(SettingsStore& store, const SettingsKey& subkey) override {
    ++saves;
    return store.SetDword(subkey, u"saved", 1);
  }
  int loads = 0;
  int saves = 0;
  int seenValues = -1;
  bool markChanged = false;
};

class FolderRule final : public WorkingFolderRule {
 public:
  void Apply(Status readStatus, CountedString& folder) override {
    status = readStatus;
    if (folder.IsEmpty()) {
      EXPECT_OK(folder.Assign(u"/pictures"));
    }
  }
  Status status = E_FAIL;
};

class SettingsRecordsTest : public ::testing::Test {
 protected:
  SettingsRecordsTest() { context.presenter = &presenter; }
  RegistryNode* Key() {
    RegistryNode* node = registry.Root().FindSubkey(u"Software");
    node = node != nullptr ? node->FindSubkey(u"Quarrytree Software") : nullptr;
    return node != nullptr ? node->FindSubkey(u"Lumatag") : nullptr;
  }
  RegistryNode& MakeKey() {
    return *registry.Root()
                .AddSubkey(u"Software")
                ->AddSubkey(u"Quarrytree Software")
                ->AddSubkey(u"Lumatag");
  }
  const RegistryValue* Stored(std::u16string_view name) {
    return Key() != nullptr ? Key()->FindValue(name) : nullptr;
  }
  Status LoadNaming(NamingSettings& naming, bool* changed) {
    naming.patterns = &patterns;
    naming.extensions = &extensions;
    return LoadNamingSettings(store, context, naming, &folderRule, changed);
  }

  MemoryRegistryStore registry;
  SettingsStore store{registry};
  ScriptedMessagePresenter presenter;
  AppContext context;
  RecordingList patterns;
  RecordingList extensions;
  FolderRule folderRule;
};

TEST_F(SettingsRecordsTest, FirstStartCreatesTheKeyEveryWrittenBackValueAndBothSubkeys) {
  WindowSettings window;
  bool changed = false;
  EXPECT_OK(LoadWindowSettings(store, context, window, &changed));
  EXPECT_TRUE(changed);
  NamingSettings naming;
  changed = false;
  EXPECT_OK(LoadNaming(naming, &changed));
  EXPECT_TRUE(changed);

  ASSERT_NE(Key(), nullptr);
  const std::pair<std::u16string, std::uint32_t> dwords[] = {{u"App Window State", 1},
                                                             {u"App Window Top", 0},
                                                             {u"App Window Left", 0x80000000u},
                                                             {u"App Window Height", 0},
                                                             {u"App Window Width", 0x80000000u},
                                                             {u"Dialog Center Left", 0xFFFFFFFFu},
                                                             {u"Dialog Center Top", 0xFFFFFFFFu},
                                                             {u"UI Locale", 0},
                                                             {u"Base on Last", 1},
                                                             {u"Show File Preview", 1},
                                                             {u"Show Window Tips", 1},
                                                             {u"File Check Beeps", 1},
                                                             {u"Advance After Rename", 1},
                                                             {u"Rename Companion Files", 1},
                                                             {u"File Navigation Mode", 1},
                                                             {u"Update Check Period", 1}};
  for (const auto& [name, value] : dwords) {
    const RegistryValue* stored = Stored(name);
    ASSERT_NE(stored, nullptr) << Utf16ToUtf8(name);
    EXPECT_EQ(stored->type, REG_DWORD);
    EXPECT_EQ(stored->data, DwordBytes(value)) << Utf16ToUtf8(name);
  }
  ASSERT_NE(Stored(u"Image Folder"), nullptr);
  EXPECT_EQ(Stored(u"Image Folder")->data, Utf16Bytes(u"", true));
  EXPECT_EQ(Key()->values.size(), std::size(dwords) + 1);
  // Values that are not written back stay missing.
  EXPECT_EQ(Stored(u"Minidump Available"), nullptr);
  EXPECT_EQ(Stored(u"Minidump Alert"), nullptr);
  EXPECT_EQ(Stored(u"Status Display"), nullptr);
  ASSERT_NE(Key()->FindSubkey(u"Image File Patterns"), nullptr);
  ASSERT_NE(Key()->FindSubkey(u"Image File Extensions"), nullptr);
  EXPECT_EQ(patterns.loads, 1);
  EXPECT_EQ(extensions.loads, 1);
  EXPECT_EQ(window.appWindowLeft, kDefaultWindowPosition);
  EXPECT_EQ(window.dialogCenterTop, -1);
  EXPECT_EQ(std::u16string(naming.imageFolder.View()), u"/pictures");
  EXPECT_STATUS(S_FALSE, folderRule.status);
  EXPECT_EQ(registry.OpenKeyCount(), 0);

  // The next start reads everything and changes nothing.
  const int changes = registry.ChangeCount();
  changed = false;
  EXPECT_OK(LoadWindowSettings(store, context, window, &changed));
  NamingSettings again;
  EXPECT_OK(LoadNaming(again, &changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(registry.ChangeCount(), changes);
  EXPECT_TRUE(presenter.shown.empty());
}

TEST_F(SettingsRecordsTest, UnusableStoredValuesAreUsedAsTheirDefaultsAndKeptUntilSaved) {
  RegistryNode& key = MakeKey();
  key.SetValue(u"File Navigation Mode", REG_SZ, Utf16Bytes(u"2", true));
  key.SetValue(u"Update Check Period", REG_DWORD, DwordBytes(9));
  key.SetValue(u"Show File Preview", REG_DWORD, DwordBytes(5));
  key.SetValue(u"Show Window Tips", REG_DWORD, DwordBytes(0));
  key.SetValue(u"Image Folder", REG_EXPAND_SZ, Utf16Bytes(u"%HOME%/x", true));
  key.SetValue(u"Minidump Alert", REG_DWORD, DwordBytes(7));
  NamingSettings naming;
  naming.minidumpAvailable = true;  // a flag keeps its value unless read successfully
  bool changed = false;
  EXPECT_OK(LoadNaming(naming, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(naming.fileNavigationMode, 1u);
  EXPECT_EQ(naming.updateCheckPeriod, 1u);
  EXPECT_TRUE(naming.showFilePreview);
  EXPECT_FALSE(naming.showWindowTips);
  EXPECT_STATUS(SETTING_DEFAULTED, folderRule.status);
  EXPECT_EQ(std::u16string(naming.imageFolder.View()), u"/pictures");
  EXPECT_TRUE(naming.minidumpAvailable);
  EXPECT_TRUE(naming.minidumpAlert);
  // Nothing was overwritten by the load.
  EXPECT_EQ(Stored(u"File Navigation Mode")->type, REG_SZ);
  EXPECT_EQ(Stored(u"Update Check Period")->data, DwordBytes(9));
  EXPECT_EQ(Stored(u"Image Folder")->type, REG_EXPAND_SZ);
  EXPECT_EQ(Stored(u"Minidump Available"), nullptr);

  ASSERT_OK(naming.imageFolder.Assign(u"/photos"));
  EXPECT_OK(SaveNamingSettings(store, naming));
  EXPECT_EQ(Stored(u"File Navigation Mode")->type, REG_DWORD);
  EXPECT_EQ(Stored(u"File Navigation Mode")->data, DwordBytes(1));
  EXPECT_EQ(Stored(u"Update Check Period")->data, DwordBytes(1));
  EXPECT_EQ(Stored(u"Image Folder")->type, REG_SZ);
  EXPECT_EQ(Stored(u"Image Folder")->data, Utf16Bytes(u"/photos", true));
  EXPECT_EQ(Stored(u"Minidump Available"), nullptr);
}

TEST_F(SettingsRecordsTest, NavigationModeAboveTwoReadsAsOneWithoutMarkingAChange) {
  RegistryNode& key = MakeKey();
  key.SetValue(u"File Navigation Mode", REG_DWORD, DwordBytes(7));
  NamingSettings naming;
  bool changed = false;
  EXPECT_TRUE(Succeeded(LoadNaming(naming, &changed)));
  changed = false;
  NamingSettings again;
  EXPECT_OK(LoadNaming(again, &changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(again.fileNavigationMode, 1u);
  EXPECT_EQ(Stored(u"File Navigation Mode")->data, DwordBytes(7));
}

TEST_F(SettingsRecordsTest, FolderWithoutTerminatorIsReadWhole) {
  MakeKey().SetValue(u"Image Folder", REG_SZ, Utf16Bytes(u"/home/ann/Pictures", false));
  NamingSettings naming;
  EXPECT_OK(LoadNaming(naming, nullptr));
  EXPECT_EQ(std::u16string(naming.imageFolder.View()), u"/home/ann/Pictures");
  EXPECT_OK(folderRule.status);
}

TEST_F(SettingsRecordsTest, CrashDumpFlagsChangeOnlyWhenRead) {
  RegistryNode& key = MakeKey();
  key.SetValue(u"Minidump Available", REG_DWORD, DwordBytes(1));
  key.SetValue(u"Minidump Alert", REG_SZ, Utf16Bytes(u"1", true));
  NamingSettings naming;
  EXPECT_OK(LoadNaming(naming, nullptr));
  EXPECT_TRUE(naming.minidumpAvailable);
  EXPECT_FALSE(naming.minidumpAlert);
}

TEST_F(SettingsRecordsTest, SavingReplacesTheListSubkeys) {
  NamingSettings naming;
  EXPECT_TRUE(Succeeded(LoadNaming(naming, nullptr)));
  Key()->FindSubkey(u"Image File Patterns")->AddSubkey(u"Old pattern");
  Key()->FindSubkey(u"Image File Extensions")->SetValue(u"OLD", REG_DWORD, DwordBytes(1));
  EXPECT_OK(SaveNamingSettings(store, naming));
  RegistryNode* stored = Key()->FindSubkey(u"Image File Patterns");
  ASSERT_NE(stored, nullptr);
  EXPECT_TRUE(stored->subkeys.empty());
  EXPECT_NE(stored->FindValue(u"saved"), nullptr);
  stored = Key()->FindSubkey(u"Image File Extensions");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->values.size(), 1u);
  EXPECT_NE(stored->FindValue(u"saved"), nullptr);

  // An extension subkey that cannot be deleted (it has a subkey) gets no extension written.
  Key()->FindSubkey(u"Image File Extensions")->AddSubkey(u"stray");
  extensions.saves = 0;
  EXPECT_STATUS(S_FALSE, SaveNamingSettings(store, naming));
  EXPECT_EQ(extensions.saves, 0);
  EXPECT_EQ(patterns.saves, 2);
}

TEST_F(SettingsRecordsTest, SavesNeedTheKeyAndCountFailedWrites) {
  WindowSettings window;
  NamingSettings naming;
  EXPECT_STATUS(E_FILE_NOT_FOUND, SaveWindowSettings(store, window, {}));
  EXPECT_STATUS(E_FILE_NOT_FOUND, SaveNamingSettings(store, naming));
  EXPECT_EQ(Key(), nullptr);

  MakeKey();
  window.appWindowLeft = -20;
  window.statusDisplay = false;
  EXPECT_OK(SaveWindowSettings(store, window, [](std::uint32_t* command) {
    *command = 3;
    return S_OK;
  }));
  EXPECT_EQ(Stored(u"App Window State")->data, DwordBytes(3));
  EXPECT_EQ(Stored(u"App Window Left")->data, DwordBytes(static_cast<std::uint32_t>(-20)));
  EXPECT_EQ(Stored(u"Status Display")->data, DwordBytes(0));

  // A failed placement skips only the window state.
  Key()->RemoveValue(u"App Window State");
  EXPECT_STATUS(S_FALSE, SaveWindowSettings(store, window, [](std::uint32_t*) { return E_FAIL; }));
  EXPECT_EQ(Stored(u"App Window State"), nullptr);
  EXPECT_NE(Stored(u"UI Locale"), nullptr);

  registry.FailChanges(ERROR_ACCESS_DENIED);
  EXPECT_STATUS(S_FALSE, SaveNamingSettings(store, naming));
  EXPECT_STATUS(S_FALSE, SaveWindowSettings(store, window, {}));
}

TEST_F(SettingsRecordsTest, FailedWriteBackRestoresTheWindowAndMarksAChange) {
  registry.Root().AddSubkey(u"Software")->AddSubkey(u"Quarrytree Software")->AddSubkey(u"Lumatag");
  registry.FailChanges(ERROR_ACCESS_DENIED);
  WindowSettings window;
  bool changed = false;
  EXPECT_OK(LoadWindowSettings(store, context, window, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(window.appWindowState, 9u);
  EXPECT_EQ(window.appWindowWidth, kDefaultWindowPosition);
  EXPECT_EQ(window.dialogCenterLeft, -1);
}

TEST_F(SettingsRecordsTest, DamagedSettingsAreReportedOnce) {
  registry.SetRecoveryNotice(u"/cfg/Lumatag/settings.reg.broken-20261206-101500");
  WindowSettings window;
  EXPECT_TRUE(Succeeded(LoadWindowSettings(store, context, window, nullptr)));
  NamingSettings naming;
  EXPECT_TRUE(Succeeded(LoadNaming(naming, nullptr)));
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_NE(presenter.shown[0].text.find(u"\"/cfg/Lumatag/settings.reg.broken-20261206-101500\""),
            std::u16string::npos);
  EXPECT_EQ(presenter.shown[0].flags & MB_ICONMASK, MB_ICONWARNING);
}

struct FitCase {
  WindowRect in;
  WindowRect out;
};

class FitRectangleTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitRectangleTest, FitsTheWorkArea) {
  const WorkArea area{100, 50, 1100, 850};  // 1000 x 800
  const WindowRect r = FitRectangleToWorkArea(GetParam().in, area);
  const WindowRect& e = GetParam().out;
  EXPECT_EQ(r.left, e.left);
  EXPECT_EQ(r.top, e.top);
  EXPECT_EQ(r.width, e.width);
  EXPECT_EQ(r.height, e.height);
}

constexpr std::int32_t D = kDefaultWindowPosition;

INSTANTIATE_TEST_SUITE_P(Cases, FitRectangleTest,
                         ::testing::Values(
                             // Default size and position: half the work area, centred.
                             FitCase{{D, 0, D, 0}, {350, 250, 500, 400}},
                             // Default position with a given size is centred.
                             FitCase{{D, 0, 200, 100}, {500, 400, 200, 100}},
                             // Inside stays.
                             FitCase{{200, 60, 300, 200}, {200, 60, 300, 200}},
                             // Before the left and top edges.
                             FitCase{{-500, -10, 300, 200}, {100, 50, 300, 200}},
                             // Beyond the right and bottom edges.
                             FitCase{{5000, 900, 300, 200}, {800, 650, 300, 200}},
                             // Sticking out on the right and bottom.
                             FitCase{{1000, 800, 300, 200}, {800, 650, 300, 200}},
                             // Larger than the work area: cut.
                             FitCase{{100, 50, 3000, 2000}, {100, 50, 1000, 800}},
                             FitCase{{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
                                     {100, 50, 1000, 800}}),
                         LT_CASE_NAMES);

}  // namespace
}  // namespace lumatag
