// The photo file extension list: normalising stored names, reporting and deleting bad ones, the
// defaults, and saving.
#include "workflow/ExtensionList.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/fake/MemoryRegistryStore.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "platform/linux/HiveRegistryStore.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

struct NormaliseCase {
  std::u16string text;
  Status status;
  std::u16string result;
};

class ExtensionNormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(ExtensionNormaliseTest, CleansOrRefuses) {
  CountedString extension;
  EXPECT_STATUS(GetParam().status, ExtensionList::Normalise(GetParam().text, extension));
  if (Succeeded(GetParam().status)) {
    EXPECT_EQ(std::u16string(extension.View()), GetParam().result);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionNormaliseTest,
    ::testing::Values(
        NormaliseCase{u" .jpg ", S_OK, u"jpg"}, NormaliseCase{u"\t...TIF\u3000", S_OK, u"TIF"},
        NormaliseCase{u"..", E_INVALIDARG, u""}, NormaliseCase{u"", E_INVALIDARG, u""},
        NormaliseCase{u"   ", E_INVALIDARG, u""}, NormaliseCase{u"tar.gz", E_INVALIDARG, u""},
        NormaliseCase{u"jp g", S_OK, u"jp g"},
        NormaliseCase{std::u16string(100, u'x'), S_OK, std::u16string(100, u'x')},
        NormaliseCase{std::u16string(101, u'x'), E_INVALIDARG, u""},
        NormaliseCase{u"a\\b", E_INVALIDARG, u""}, NormaliseCase{u"a/b", E_INVALIDARG, u""},
        NormaliseCase{u"a:b", E_INVALIDARG, u""}, NormaliseCase{u"a*", E_INVALIDARG, u""},
        NormaliseCase{u"a\"", E_INVALIDARG, u""}, NormaliseCase{u"a?", E_INVALIDARG, u""},
        NormaliseCase{u"<a", E_INVALIDARG, u""}, NormaliseCase{u"a>", E_INVALIDARG, u""},
        NormaliseCase{u"a|b", E_INVALIDARG, u""}),
    LT_CASE_NAMES);

class ExtensionListTest : public ::testing::Test {
 protected:
  ExtensionListTest() {
    context.presenter = &presenter;
    node = registry.Root().AddSubkey(u"Ext");
  }
  void Store(std::u16string_view name) { node->SetValue(name, REG_DWORD, {1, 0, 0, 0}); }
  Status Load(bool* changed) {
    SettingsKey key;
    EXPECT_OK(store.CreateSettingsKey(nullptr, u"Ext", &key));
    return list.LoadFromSettings(store, key, context, changed);
  }
  std::vector<std::u16string> Items() const {
    std::vector<std::u16string> items;
    for (int i = 0; i < list.Count(); ++i) items.emplace_back(list.At(i));
    return items;
  }

  MemoryRegistryStore registry;
  SettingsStore store{registry};
  ScriptedMessagePresenter presenter;
  AppContext context;
  RegistryNode* node;
  ExtensionList list;
};

TEST_F(ExtensionListTest, ReadsNormalisedNamesSortedWithoutRegardToCase) {
  Store(u"tif");
  Store(u" .jpg ");
  Store(u"JPE");
  node->values.push_back({u"raw", 99, {}});  // the data are never looked at
  bool changed = false;
  EXPECT_OK(Load(&changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(Items(), (std::vector<std::u16string>{u"JPE", u"jpg", u"raw", u"tif"}));
  EXPECT_TRUE(list.Find(u"JPG"));
  EXPECT_TRUE(list.Find(u"Tif"));
  EXPECT_FALSE(list.Find(u"jpeg"));
  EXPECT_TRUE(presenter.shown.empty());
  EXPECT_EQ(node->values.size(), 4u);
}

TEST_F(ExtensionListTest, BadNamesAreReportedOnceAndDeletedTogether) {
  Store(u"..");
  Store(u"jpg");
  Store(u" JPG");  // a duplicate once cleaned
  Store(u"");
  Store(u"a|b");
  Store(u"tif");
  bool changed = false;
  EXPECT_OK(Load(&changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(Items(), (std::vector<std::u16string>{u"jpg", u"tif"}));
  // One message, naming the first of them; one change of the settings for all of them.
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].text,
            u"An error occurred reading file extension filter '..' from the registry.");
  EXPECT_EQ(presenter.shown[0].flags & MB_ICONMASK, MB_ICONERROR);
  EXPECT_EQ(registry.BatchCount(), 1);
  EXPECT_EQ(node->values.size(), 2u);
  EXPECT_NE(node->FindValue(u"jpg"), nullptr);
  EXPECT_NE(node->FindValue(u"tif"), nullptr);

  // An unnamed value first is named by its number (1-based).
  list.Clear();
  presenter.shown.clear();
  node->values.insert(node->values.begin(), {u"", REG_DWORD, {1, 0, 0, 0}});
  EXPECT_OK(Load(&changed));
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].text,
            u"An error occurred reading file extension filter number 1 from the registry.");
}

TEST_F(ExtensionListTest, ThousandsOfBadNamesCostOneMessageAndOneWrite) {
  // Stored in reverse order, so that adding each in its sorted place would move all the others.
  for (int i = 3000; i > 0; --i) Store(u"e" + Utf8ToUtf16(std::to_string(100000 + i)));
  for (int i = 0; i < 2000; ++i) Store(u"bad|" + Utf8ToUtf16(std::to_string(i)));
  bool changed = false;
  EXPECT_OK(Load(&changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(list.Count(), 3000);
  EXPECT_EQ(list.At(0), u"e100001");
  EXPECT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(registry.BatchCount(), 1);
  EXPECT_EQ(node->values.size(), 3000u);
}

TEST_F(ExtensionListTest, AValueThatCannotBeDeletedIsSteppedOver) {
  Store(u"..");
  Store(u"jpg");
  registry.FailChanges(ERROR_ACCESS_DENIED);
  bool changed = false;
  EXPECT_OK(Load(&changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(Items(), (std::vector<std::u16string>{u"jpg"}));
  EXPECT_EQ(presenter.shown.size(), 1u);
}

TEST_F(ExtensionListTest, LongNamesAreReportedWithinTheMessage) {
  const std::u16string longName(5000, u'x');
  Store(longName);
  Store(u"jpg");
  EXPECT_OK(Load(nullptr));
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_NE(presenter.shown[0].text.find(std::u16string(150, u'x') + u"'"), std::u16string::npos);
  EXPECT_EQ(Items(), (std::vector<std::u16string>{u"jpg"}));
  EXPECT_EQ(node->FindValue(longName), nullptr);
}

TEST_F(ExtensionListTest, DefaultsFillAnEmptyListOnly) {
  bool changed = false;
  EXPECT_OK(Load(&changed));
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_FALSE(changed);
  EXPECT_OK(list.EnsureNotEmpty(StringModule::BuiltIn(), &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(Items(), (std::vector<std::u16string>{u"JPE", u"JPG", u"TIF"}));
  changed = false;
  list.RemoveAt(0);
  EXPECT_OK(list.EnsureNotEmpty(StringModule::BuiltIn(), &changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_STATUS(E_ALREADY_PRESENT, list.Add(u"tif"));
}

TEST_F(ExtensionListTest, SavedListReadsBackAndCopiesAreIndependent) {
  EXPECT_OK(list.Add(u"jpg"));
  EXPECT_OK(list.Add(u"CR2"));
  SettingsKey key;
  ASSERT_OK(store.CreateSettingsKey(nullptr, u"Saved", &key));
  EXPECT_OK(list.SaveToSettings(store, key));
  const RegistryNode* saved = registry.Root().FindSubkey(u"Saved");
  ASSERT_EQ(saved->values.size(), 2u);
  EXPECT_EQ(saved->values[0].name, u"CR2");
  EXPECT_EQ(saved->values[0].type, REG_DWORD);
  EXPECT_EQ(saved->values[0].data, (std::vector<std::uint8_t>{1, 0, 0, 0}));

  ExtensionList copy;
  ASSERT_OK(copy.CopyFrom(list));
  copy.Clear();
  EXPECT_EQ(list.Count(), 2);
  ExtensionList back;
  EXPECT_OK(back.LoadFromSettings(store, key, context, nullptr));
  EXPECT_EQ(back.Count(), 2);

  registry.FailChanges(ERROR_ACCESS_DENIED);
  EXPECT_STATUS(S_FALSE, list.SaveToSettings(store, key));
}

TEST(ExtensionListOnDiskTest, BadNamesInARealSettingsFileAreRepairedInOneGo) {
  TempDir dir;
  const std::string hive = dir.File("settings.reg");
  std::string text =
      "Lumatag Settings Hive 1\n\n[HKEY_CURRENT_USER\\Ext]\n\"jpg\"=dword:00000001\n";
  for (int i = 0; i < 2000; ++i) text += "\"bad*" + std::to_string(i) + "\"=dword:00000001\n";
  std::ofstream(hive, std::ios::binary) << text;

  HiveRegistryStore registry(hive);
  SettingsStore store(registry);
  ScriptedMessagePresenter presenter;
  AppContext context;
  context.presenter = &presenter;
  SettingsKey key;
  ASSERT_OK(store.CreateSettingsKey(nullptr, u"Ext", &key));
  ExtensionList list;
  bool changed = false;
  EXPECT_OK(list.LoadFromSettings(store, key, context, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(presenter.shown.size(), 1u);
  std::ifstream in(hive, std::ios::binary);
  std::stringstream written;
  written << in.rdbuf();
  EXPECT_EQ(written.str(),
            "Lumatag Settings Hive 1\n\n[HKEY_CURRENT_USER\\Ext]\n\"jpg\"=dword:00000001\n\n");
}

}  // namespace
}  // namespace lumatag
