// Base names added in bulk (a folder scan) end up exactly as names added one at a time: the same
// entries, the first spelling of names equal without regard to case, the same order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "workflow/PhotoList.h"

namespace lumatag {
namespace {

std::vector<std::u16string> Entries(const BaseNameList& names) {
  std::vector<std::u16string> entries;
  for (int i = 0; i < names.Count(); ++i) entries.emplace_back(names.At(i));
  return entries;
}

TEST(BaseNameMergeTest, BulkAddingListsWhatAddingOneByOneLists) {
  const std::vector<std::vector<std::u16string>> cases = {
      {},
      {u"Trip"},
      {u"Trip", u"TRIP", u"trip", u"Beach"},
      {u"b", u"a", u"B", u"c", u"A", u"a"},
      {u"Zoo", u"Été", u"ete", u"été", u"Ete", u"Straße", u"STRASSE"},
      {u"<no base name>", u"Trip-1", u"Trip 1", u"Trip_1", u"trip-1", u"x'y", u"xy"},
  };
  for (const auto& texts : cases) {
    BaseNameList one;
    BaseNameList bulk;
    ASSERT_OK(one.Reset(StringModule::BuiltIn()));
    ASSERT_OK(bulk.Reset(StringModule::BuiltIn()));
    for (const std::u16string& text : texts) {
      int index = -1;
      ASSERT_OK(one.Add(text, &index));
      ASSERT_OK(bulk.Add(text, nullptr));
    }
    EXPECT_EQ(Entries(bulk), Entries(one));
    EXPECT_EQ(bulk.NoBaseNameIndex(), one.NoBaseNameIndex());
  }
}

TEST(BaseNameMergeTest, BulkAddsMeetEarlierAndLaterSingleAdds) {
  BaseNameList one;
  BaseNameList bulk;
  ASSERT_OK(one.Reset(StringModule::BuiltIn()));
  ASSERT_OK(bulk.Reset(StringModule::BuiltIn()));
  int index = -1;
  for (BaseNameList* names : {&one, &bulk}) ASSERT_OK(names->Add(u"Mid", &index));
  for (int i = 0; i < 500; ++i) {
    const std::u16string text = u"Name " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                std::u16string(1, static_cast<char16_t>(u'a' + (i * 7) % 26));
    ASSERT_OK(one.Add(text, &index));
    ASSERT_OK(bulk.Add(text, nullptr));
  }
  bool added = true;
  int found = -1;
  ASSERT_OK(bulk.Add(u"name aa", &found, &added));
  EXPECT_FALSE(added);
  EXPECT_EQ(bulk.At(found), u"Name Aa");
  ASSERT_OK(one.Add(u"name aa", &index));
  EXPECT_EQ(Entries(bulk), Entries(one));
  bulk.Clear();
  EXPECT_EQ(bulk.Count(), 0);
}

}  // namespace
}  // namespace lumatag
