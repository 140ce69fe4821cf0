// Typed reads and writes of the settings store over the in-memory registry.
#include "ports/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/fake/MemoryRegistryStore.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_OK(store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key)); }
  RegistryNode& Node() {
    return *registry.Root()
                .FindSubkey(u"Software")
                ->FindSubkey(u"Quarrytree Software")
                ->FindSubkey(u"Lumatag");
  }
  void Put(std::u16string_view name, std::uint32_t type, std::vector<std::uint8_t> data) {
    Node().SetValue(name, type, std::move(data));
  }
  const RegistryValue* Stored(std::u16string_view name) { return Node().FindValue(name); }

  MemoryRegistryStore registry;
  SettingsStore store{registry};
  SettingsKey key;
};

struct DwordCase {
  bool present;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  Status status;
  std::uint32_t value;
  bool writtenBack;
};

class GetDwordTest : public SettingsStoreTest, public ::testing::WithParamInterface<DwordCase> {};

TEST_P(GetDwordTest, ReadsOrDefaults) {
  const DwordCase& c = GetParam();
  if (c.present) Put(u"Minidump Type", c.type, c.data);
  std::uint32_t value = 12345;
  EXPECT_STATUS(c.status, store.GetDword(key, IDS_REG_MINIDUMP_TYPE, 77, &value));
  EXPECT_EQ(value, c.value);
  const RegistryValue* stored = Stored(u"Minidump Type");
  if (c.writtenBack) {
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, REG_DWORD);
    EXPECT_EQ(stored->data, DwordBytes(77));
  } else if (c.present) {
    // An unusable value stays as it was.
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, c.type);
    EXPECT_EQ(stored->data, c.data);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetDwordTest,
    ::testing::Values(DwordCase{true, REG_DWORD, DwordBytes(5), S_OK, 5, false},
                      DwordCase{false, 0, {}, S_FALSE, 77, true},
                      DwordCase{true, REG_SZ, Utf16Bytes(u"5", true), SETTING_DEFAULTED, 77, false},
                      DwordCase{true, REG_BINARY, DwordBytes(5), SETTING_DEFAULTED, 77, false},
                      DwordCase{true, REG_DWORD, {1, 2}, SETTING_DEFAULTED, 77, false},
                      DwordCase{
                          true, REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8}, SETTING_DEFAULTED, 77, false},
                      DwordCase{true, REG_DWORD, {}, SETTING_DEFAULTED, 77, false},
                      DwordCase{true, 0x12345, DwordBytes(5), SETTING_DEFAULTED, 77, false}),
    LT_CASE_NAMES);

TEST_F(SettingsStoreTest, BooleansNormaliseAndOnlyTrueDefaultWritesBack) {
  Put(u"Show File Preview", REG_DWORD, DwordBytes(5));
  bool flag = false;
  EXPECT_OK(store.GetBoolDefaultTrue(key, IDS_REG_SHOW_FILE_PREVIEW, &flag));
  EXPECT_TRUE(flag);
  EXPECT_EQ(Stored(u"Show File Preview")->data, DwordBytes(5));

  EXPECT_STATUS(S_FALSE, store.GetBoolDefaultTrue(key, IDS_REG_SHOW_WINDOW_TIPS, &flag));
  EXPECT_TRUE(flag);
  EXPECT_EQ(Stored(u"Show Window Tips")->data, DwordBytes(1));

  flag = true;
  EXPECT_STATUS(E_FILE_NOT_FOUND,
                store.GetBoolDefaultFalse(key, IDS_REG_MINIDUMP_AVAILABLE, &flag));
  EXPECT_FALSE(flag);
  EXPECT_EQ(Stored(u"Minidump Available"), nullptr);

  Put(u"Minidump Alert", REG_SZ, Utf16Bytes(u"1", true));
  EXPECT_STATUS(SETTING_DEFAULTED, store.GetBoolDefaultFalse(key, IDS_REG_MINIDUMP_ALERT, &flag));
  EXPECT_FALSE(flag);
}

TEST_F(SettingsStoreTest, DwordWriteBackFailureIsReported) {
  registry.FailChanges(ERROR_ACCESS_DENIED);
  std::uint32_t value = 0;
  EXPECT_STATUS(MakeStatus(0x80070005), store.GetDword(key, IDS_REG_UI_LOCALE, 9, &value));
  EXPECT_EQ(value, 9u);
}

struct StringCase {
  bool present;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  Status status;
  std::u16string value;
};

class GetStringTest : public SettingsStoreTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(GetStringTest, ReadsOrDefaults) {
  const StringCase& c = GetParam();
  if (c.present) Put(u"Image Folder", c.type, c.data);
  CountedString value;
  ASSERT_OK(value.Assign(u"previous"));
  EXPECT_STATUS(c.status, store.GetString(key, IDS_REG_IMAGE_FOLDER, u"dflt", &value));
  EXPECT_EQ(std::u16string(value.View()), c.value);
  if (!c.present) {
    EXPECT_EQ(Stored(u"Image Folder"), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetStringTest,
    ::testing::Values(
        StringCase{true, REG_SZ, Utf16Bytes(u"/photos", true), S_OK, u"/photos"},
        // Without a terminating NUL the value is still read whole.
        StringCase{true, REG_SZ, Utf16Bytes(u"/photos", false), S_OK, u"/photos"},
        // Cut at the first NUL.
        StringCase{true, REG_SZ, Utf16Bytes(std::u16string(u"ab\0cd", 5), true), S_OK, u"ab"},
        StringCase{true, REG_SZ, {}, S_OK, u""},
        // An odd byte count keeps the whole characters and the last byte.
        StringCase{true, REG_SZ, {'a', 0, 'b'}, S_OK, u"ab"},
        StringCase{true, REG_EXPAND_SZ, Utf16Bytes(u"%HOME%", true), SETTING_DEFAULTED, u"dflt"},
        StringCase{true, REG_DWORD, DwordBytes(1), SETTING_DEFAULTED, u"dflt"},
        StringCase{false, 0, {}, E_FILE_NOT_FOUND, u"dflt"}),
    LT_CASE_NAMES);

TEST_F(SettingsStoreTest, StringLongerThanAFixedTargetFallsBackToTheDefault) {
  Put(u"Image Folder", REG_SZ, Utf16Bytes(std::u16string(300, u'x'), true));
  PathString path;
  EXPECT_STATUS(SETTING_DEFAULTED, store.GetString(key, IDS_REG_IMAGE_FOLDER, u"d", &path));
  EXPECT_EQ(std::u16string(path.View()), u"d");
  CountedString heap;
  EXPECT_OK(store.GetString(key, IDS_REG_IMAGE_FOLDER, u"d", &heap));
  EXPECT_EQ(heap.Length(), 300);
  EXPECT_STATUS(E_INVALIDARG, store.GetString(key, IDS_REG_IMAGE_FOLDER, u"d", nullptr));
}

TEST_F(SettingsStoreTest, StringDefaultEmptyWritesBackAnEmptyString) {
  CountedString value;
  EXPECT_STATUS(S_FALSE, store.GetStringDefaultEmpty(key, IDS_REG_IMAGE_FOLDER, &value));
  EXPECT_TRUE(value.IsEmpty());
  ASSERT_NE(Stored(u"Image Folder"), nullptr);
  EXPECT_EQ(Stored(u"Image Folder")->type, REG_SZ);
  EXPECT_EQ(Stored(u"Image Folder")->data, Utf16Bytes(u"", true));
}

TEST_F(SettingsStoreTest, WritesUseTheRegistryLayout) {
  CountedString text;
  ASSERT_OK(text.Assign(u"Ä/x"));
  EXPECT_OK(store.SetString(key, IDS_REG_IMAGE_FOLDER, &text));
  EXPECT_EQ(Stored(u"Image Folder")->data, Utf16Bytes(u"Ä/x", true));
  EXPECT_OK(store.SetString(key, IDS_REG_IMAGE_FOLDER, static_cast<const CountedString*>(nullptr)));
  EXPECT_TRUE(Stored(u"Image Folder")->data.empty());
  EXPECT_OK(store.SetBool(key, IDS_REG_STATUS_DISPLAY, 42));
  EXPECT_EQ(Stored(u"Status Display")->data, DwordBytes(1));
  EXPECT_OK(store.SetDword(key, IDS_REG_APP_WINDOW_LEFT, 0x80000000u));
  EXPECT_EQ(Stored(u"App Window Left")->data, DwordBytes(0x80000000u));
  const std::uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_OK(store.SetBinary(key, IDS_REG_UPDATE_CHECK_LAST, eight));
  EXPECT_EQ(Stored(u"Update Check Last")->type, REG_BINARY);
  EXPECT_EQ(Stored(u"Update Check Last")->data.size(), 8u);
  EXPECT_OK(store.SetBinary(key, IDS_REG_UPDATE_CHECK_LAST, nullptr));
  EXPECT_TRUE(Stored(u"Update Check Last")->data.empty());
}

TEST_F(SettingsStoreTest, BinaryReadsIntoCallerOrOwnBuffer) {
  Put(u"Update Check Last", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8});
  std::uint8_t small[4];
  std::uint32_t size = sizeof small;
  EXPECT_STATUS(E_BUFFER_TOO_SMALL, store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, small, &size));
  std::uint8_t big[16] = {};
  size = sizeof big;
  EXPECT_OK(store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, big, &size));
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(big[7], 8);
  std::vector<std::uint8_t> data;
  EXPECT_OK(store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, &data));
  EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  Put(u"Update Check Last", REG_DWORD, DwordBytes(1));
  EXPECT_STATUS(MakeStatus(0x8007065D), store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, &data));
  Node().RemoveValue(u"Update Check Last");
  EXPECT_STATUS(E_FILE_NOT_FOUND, store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, &data));
}

TEST_F(SettingsStoreTest, KeyOperationsAndEnumeration) {
  SettingsKey missing;
  EXPECT_STATUS(E_FILE_NOT_FOUND, store.OpenSettingsKey(IDS_REG_IMAGE_FILE_PATTERNS, &missing));
  SettingsKey sub;
  ASSERT_OK(store.CreateSettingsKey(&key, IDS_REG_IMAGE_FILE_PATTERNS, &sub));
  SettingsKey child;
  ASSERT_OK(store.CreateSettingsKey(&sub, u"Mine", &child));
  child.Close();
  // A key with subkeys is removed only as a tree.
  EXPECT_STATUS(MakeStatus(0x80070005), store.DeleteKey(key, IDS_REG_IMAGE_FILE_PATTERNS));
  EXPECT_OK(store.SetDword(key, u"b", 1));
  EXPECT_OK(store.SetDword(key, u"a", 1));
  CountedString name;
  EXPECT_OK(store.EnumValueName(key, 0, 8, name));
  EXPECT_EQ(std::u16string(name.View()), u"b");
  EXPECT_STATUS(MakeStatus(0x800700EA), store.EnumValueName(key, 0, 1, name));
  EXPECT_STATUS(MakeStatus(0x80070103), store.EnumValueName(key, 2, 8, name));
  EXPECT_OK(store.EnumSubkeyName(sub, 0, 8, name));
  EXPECT_EQ(std::u16string(name.View()), u"Mine");
  EXPECT_OK(store.DeleteValue(key, u"A"));  // names are found without regard to case
  EXPECT_STATUS(E_FILE_NOT_FOUND, store.DeleteValue(key, u"a"));
  EXPECT_OK(store.DeleteKeyTree(key, IDS_REG_IMAGE_FILE_PATTERNS));
  // The handle of a deleted key reports it.
  EXPECT_STATUS(MakeStatus(0x800703FA), store.SetDword(sub, u"x", 1));
  sub.Close();
  key.Close();
  EXPECT_EQ(registry.OpenKeyCount(), 0);
}

}  // namespace
}  // namespace lumatag
