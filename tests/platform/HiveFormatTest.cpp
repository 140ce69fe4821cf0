// The hive text: what is written reads back to the same tree, and damaged text keeps every
// readable section and value.
#include "platform/linux/HiveFormat.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

bool SameTree(const RegistryNode& a, const RegistryNode& b) {
  if (a.name != b.name || a.values.size() != b.values.size() ||
      a.subkeys.size() != b.subkeys.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.values.size(); ++i) {
    if (a.values[i].name != b.values[i].name || a.values[i].type != b.values[i].type ||
        a.values[i].data != b.values[i].data) {
      return false;
    }
  }
  for (std::size_t i = 0; i < a.subkeys.size(); ++i) {
    if (!SameTree(*a.subkeys[i], *b.subkeys[i])) return false;
  }
  return true;
}

TEST(HiveFormatTest, EveryNameTypeAndLayoutSurvivesTheText) {
  RegistryNode root;
  root.SetValue(u"at root", REG_DWORD, {1, 0, 0, 0});
  RegistryNode* key =
      root.AddSubkey(u"Software")->AddSubkey(u"Quarrytree Software")->AddSubkey(u"Lumatag");
  key->SetValue(u"", REG_SZ, {'d', 0, 0, 0});
  key->SetValue(u"quote \" and \\ back", REG_SZ, {'x', 0, 0, 0});
  key->SetValue(u"ctl\n\t\x7f", REG_DWORD, {0xff, 0xfe, 0xfd, 0xfc});
  key->SetValue(std::u16string(u"lone \xD800 surrogate"), REG_SZ, {0x00, 0xD8, 0, 0});
  key->SetValue(u"emoji \U0001F600 \u00e9", REG_SZ, {0x3D, 0xD8, 0x00, 0xDE, 0, 0});
  key->SetValue(u"no terminator", REG_SZ, {'a', 0, 'b', 0});
  key->SetValue(u"odd", REG_SZ, {'a', 0, 'b'});
  key->SetValue(u"inner nul", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0});
  key->SetValue(u"empty sz", REG_SZ, {});
  key->SetValue(u"expand", REG_EXPAND_SZ, {'%', 0, 'H', 0, '%', 0, 0, 0});
  key->SetValue(u"short dword", REG_DWORD, {1, 2, 3});
  key->SetValue(u"odd type", 0xFFFFFFFFu, {9});
  std::vector<std::uint8_t> big(100);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
  key->SetValue(u"Update Check Last", REG_BINARY, big);
  key->SetValue(u"empty binary", REG_BINARY, {});
  key->AddSubkey(u"Image File Extensions");
  key->AddSubkey(u"50% [off]")->AddSubkey(std::u16string(u"tab\there \xDC00"));
  key->AddSubkey(std::u16string(255, u'k'));

  const std::string text = FormatHive(root);
  HiveParseReport report;
  const auto back = ParseHive(text, &report);
  EXPECT_EQ(report.badLines, 0) << text;
  EXPECT_TRUE(SameTree(root, *back)) << text;
  EXPECT_EQ(FormatHive(*back), text);
  // Plain values stay readable.
  EXPECT_NE(text.find("\"quote \\\" and \\\\ back\"=\"x\"\n"), std::string::npos) << text;
  EXPECT_NE(
      text.find("[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag\\50%25 [off]\\tab%09"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("@=\"d\"\n"), std::string::npos);
}

TEST(HiveFormatTest, ManyValuesAndSubkeysInAnyOrderReadAsOneSortedTree) {
  std::string text = "Lumatag Settings Hive 1\n";
  for (int i = 999; i >= 0; --i) {
    text += "[HKEY_CURRENT_USER\\Key" + std::to_string(1000 + i) + "]\n\"v\"=dword:00000001\n";
  }
  // A section and a value named again with other case are the same key and value: the first
  // spelling stays, the last data win.
  text += "[HKEY_CURRENT_USER\\KEY1000]\n\"V\"=dword:00000002\n\"w\"=dword:00000003\n";
  HiveParseReport report;
  const auto root = ParseHive(text, &report);
  EXPECT_FALSE(report.Damaged());
  ASSERT_EQ(root->subkeys.size(), 1000u);
  for (std::size_t i = 0; i < root->subkeys.size(); ++i) {
    EXPECT_EQ(root->subkeys[i]->name, u"Key" + Utf8ToUtf16(std::to_string(1000 + i)));
  }
  const RegistryNode* first = root->FindSubkey(u"key1000");
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(first->values.size(), 2u);
  EXPECT_EQ(first->values[0].name, u"v");
  EXPECT_EQ(first->values[0].data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

struct DamageCase {
  std::string text;
  int badLines;
  std::vector<std::u16string> kept;  // value names that must be read under the Lumatag key
};

class HiveDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(HiveDamageTest, KeepsWhatIsReadable) {
  const DamageCase& c = GetParam();
  HiveParseReport report;
  const auto root = ParseHive(c.text, &report);
  EXPECT_EQ(report.badLines, c.badLines);
  EXPECT_EQ(report.Damaged(), c.badLines > 0);
  RegistryNode* key = root->FindSubkey(u"Software");
  key = key != nullptr ? key->FindSubkey(u"Lumatag") : nullptr;
  for (const std::u16string& name : c.kept) {
    ASSERT_NE(key, nullptr);
    EXPECT_NE(key->FindValue(name), nullptr) << Utf16ToUtf8(name);
  }
  if (key != nullptr) {
    EXPECT_EQ(key->values.size(), c.kept.size());
  }
}

const std::string kHead = "Lumatag Settings Hive 1\n\n[HKEY_CURRENT_USER\\Software\\Lumatag]\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HiveDamageTest,
    ::testing::Values(
        DamageCase{kHead + "\"a\"=dword:00000001\n\"b\"=\"x\"\n", 0, {u"a", u"b"}},
        // CRLF, trailing blanks, comments, indentation, a continued hex list, "" as a name.
        DamageCase{"\xEF\xBB\xBFLumatag Settings Hive 1\r\n; note\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Lumatag]  \r\n  \"a\"=hex:01,\\\r\n  02\r\n"
                   "\"\"=dword:00000000\r\n",
                   0,
                   {u"a", u""}},
        // Truncated in the middle of a value.
        DamageCase{kHead + "\"a\"=dword:00000001\n\"b\"=dword:0000", 1, {u"a"}},
        DamageCase{kHead + "\"a\"=dword:00000001\n\"b\"=\"unterminated", 1, {u"a"}},
        DamageCase{kHead + "\"a\"=hex:01,\\", 1, {}},
        // No header line.
        DamageCase{"[HKEY_CURRENT_USER\\Software\\Lumatag]\n\"a\"=dword:00000001\n", 1, {u"a"}},
        // Values outside any readable section are skipped.
        DamageCase{"Lumatag Settings Hive 1\n\"a\"=dword:00000001\n"
                   "[HKEY_LOCAL_MACHINE\\Software\\Lumatag]\n\"b\"=dword:00000001\n"
                   "[HKEY_CURRENT_USER\\Software\\Lumatag]\n\"c\"=dword:00000001\n",
                   3,
                   {u"c"}},
        // Bad escapes, bad UTF-8, bad numbers and types, stray text.
        DamageCase{kHead + "\"a\\q\"=dword:00000001\n\"b\"=\"\xC3\x28\"\n"
                           "\"c\"=dword:123456789\n\"d\"=hex(zz):01\n\"e\"=hex:1\ngarbage\n"
                           "\"f\"=dword:0000000g\n\"g\"=\"x\"y\n\"h\"=\"ok\"\n",
                   8,
                   {u"h"}},
        // Key names: empty, escaped backslash, bad escape, too long.
        DamageCase{kHead +
                       "[HKEY_CURRENT_USER\\Software\\\\x]\n[HKEY_CURRENT_USER\\a%5Cb]\n"
                       "[HKEY_CURRENT_USER\\a%zz]\n[HKEY_CURRENT_USER\\" +
                       std::string(256, 'k') +
                       "]\n[HKEY_CURRENT_USER\\Software\\Lumatag]\n"
                       "\"a\"=dword:00000001\n",
                   4,
                   {u"a"}},
        // The last of two equal names counts, whatever their case.
        DamageCase{kHead + "\"A\"=dword:00000001\n\"a\"=dword:00000002\n", 0, {u"a"}},
        DamageCase{std::string("\0\xff\xfe binary\n\x01", 12), 2, {}}),
    LT_CASE_NAMES);

TEST(HiveFormatTest, DuplicateNamesKeepTheLastData) {
  const auto root = ParseHive(kHead + "\"A\"=dword:00000001\n\"a\"=dword:00000002\n", nullptr);
  const RegistryValue* value =
      root->FindSubkey(u"software")->FindSubkey(u"LUMATAG")->FindValue(u"a");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->name, u"A");
  EXPECT_EQ(value->data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

}  // namespace
}  // namespace lumatag
