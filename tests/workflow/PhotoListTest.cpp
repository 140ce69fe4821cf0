// The photo list without a folder: order, navigation in the three modes, counts and their texts,
// the base-name list and the name index.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ports/TextComparer.h"
#include "support/TestSupport.h"
#include "workflow/PhotoList.h"

namespace lumatag {
namespace {

PhotoEntry Photo(const char16_t* name, SystemTime taken, bool unnamed) {
  PhotoEntry photo;
  EXPECT_OK(SetupPhotoFacts(&photo, &PrivateHeap::Process(), name, taken, kNoPatternIndex, 0));
  photo.flags &= ~(kPhotoUnnamed | kPhotoUnnamedWhenListed);
  if (unnamed) photo.flags |= kPhotoUnnamed | kPhotoUnnamedWhenListed;
  return photo;
}

SystemTime Day(int day) {
  return SystemTime{2013, 5, 0, static_cast<std::uint16_t>(day), 10, 0, 0, 0};
}

std::vector<std::u16string> Names(const PhotoList& list) {
  std::vector<std::u16string> names;
  for (int i = 0; i < list.Count(); ++i) names.emplace_back(list.At(i).fileName.View());
  return names;
}

TEST(PhotoListTest, OrdersByDateThenCaseSensitiveName) {
  for (bool bulk : {false, true}) {
    PhotoList list;
    std::vector<PhotoEntry> entries;
    entries.push_back(Photo(u"b.jpg", Day(2), false));
    entries.push_back(Photo(u"a.jpg", Day(3), false));
    entries.push_back(Photo(u"B.jpg", Day(2), false));
    entries.push_back(Photo(u"c.jpg", Day(1), false));
    if (bulk) {
      ASSERT_OK(list.InsertAll(entries));
    } else {
      for (PhotoEntry& entry : entries) ASSERT_OK(list.Insert(std::move(entry)));
    }
    const std::vector<std::u16string> names = Names(list);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], u"c.jpg");
    // Same date: the names differ only in case and still both stay, in a fixed order.
    EXPECT_TRUE((names[1] == u"b.jpg" && names[2] == u"B.jpg") ||
                (names[1] == u"B.jpg" && names[2] == u"b.jpg"));
    EXPECT_EQ(names[3], u"a.jpg");
  }
}

// Enough photos for the bulk sort to merge several runs: the order of the list's own comparison
// (the one inserting one by one uses), many photos on one date so that the names decide.
TEST(PhotoListTest, ManyPhotosInBulkLandInTheListsOrder) {
  std::vector<PhotoEntry> bulk;
  std::vector<PhotoEntry> reference;
  std::uint32_t seed = 7;
  for (int i = 0; i < 9000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int n = static_cast<int>(seed >> 8) % 5000;
    std::u16string name = (seed & 16) ? u"IMG_" : u"img-";
    // Names of a folder are unique: the running number ends each.
    name += Utf8ToUtf16(std::to_string(n) + "_" + std::to_string(i));
    name += (seed & 32) ? u".JPG" : u".jpg";
    const int day = (seed >> 6) % 3 == 0 ? 1 + static_cast<int>(seed >> 20) % 28 : 1;
    bulk.push_back(Photo(name.c_str(), Day(day), false));
    reference.push_back(Photo(name.c_str(), Day(day), false));
  }
  std::vector<std::size_t> order(reference.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&reference](std::size_t a, std::size_t b) {
    return ComparePhotoOrder(reference[a], reference[b]) < 0;
  });
  std::vector<std::u16string> expected;
  for (std::size_t i : order) expected.emplace_back(reference[i].fileName.View());

  PhotoList list;
  int asked = 0;
  ASSERT_OK(list.InsertAll(bulk, [&asked] { return ++asked > 0; }));
  EXPECT_GT(asked, 2);
  EXPECT_EQ(Names(list), expected);
}

TEST(PhotoListTest, ACancelledBulkInsertLeavesTheListEmpty) {
  // Keys (asked 9 times), sorted runs (3), merges (3), then moving into the list (9).
  for (const int answerNoAt : {1, 6, 11, 13, 15, 16, 24}) {
    std::vector<PhotoEntry> entries;
    for (int i = 0; i < 10000; ++i) {
      entries.push_back(
          Photo((u"p" + Utf8ToUtf16(std::to_string(i)) + u".jpg").c_str(), Day(1), false));
    }
    PhotoList list;
    int asked = 0;
    EXPECT_STATUS(E_CANCELLED, list.InsertAll(entries, [&] { return ++asked < answerNoAt; }));
    EXPECT_EQ(asked, answerNoAt);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.UnnamedCount(), 0);
    if (answerNoAt <= 15) {  // while sorting, the records stay where they were
      ASSERT_EQ(entries.size(), 10000u);
      EXPECT_EQ(entries[9999].fileName.View(), u"p9999.jpg");
    }
  }
}

// The scan's bulk insert sorts the records inside their own array: the same list as the other
// bulk insert, names indexed and unnamed photos counted; a cancel while sorting leaves the
// records where they were, a cancel after the hand-over an empty list.
TEST(PhotoListTest, RecordsGatheredInOneArrayLandInTheListsOrder) {
  std::vector<PhotoEntry> reference;
  ElementArray<PhotoEntry> gathered;
  std::uint32_t seed = 11;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    const std::u16string name = Utf8ToUtf16("P" + std::to_string((seed >> 9) % 3000) + "_" +
                                            std::to_string(i) + ((seed & 8) ? ".jpg" : ".JPG"));
    const int day = 1 + static_cast<int>(seed >> 20) % 4;
    reference.push_back(Photo(name.c_str(), Day(day), (seed & 64) != 0));
    ASSERT_OK(gathered.Insert(Photo(name.c_str(), Day(day), (seed & 64) != 0), gathered.Count()));
  }
  // The same records with their name keys made ahead; keys that do not fit are not used.
  ElementArray<PhotoEntry> withKeys[2];
  std::vector<std::string> keys[2];
  for (int k = 0; k < 2; ++k) {
    for (const PhotoEntry& photo : reference) {
      ASSERT_OK(withKeys[k].Insert(Photo(std::u16string(photo.fileName.View()).c_str(),
                                         photo.fileDate, (photo.flags & kPhotoUnnamed) != 0),
                                   withKeys[k].Count()));
      keys[k].emplace_back();
      AppendInvariantSortKey(photo.fileName.View(), false, &keys[k].back());
    }
  }
  keys[1].pop_back();
  PhotoList expected;
  ASSERT_OK(expected.InsertAll(reference));
  for (int k = 0; k < 2; ++k) {
    PhotoList keyed;
    ASSERT_OK(keyed.InsertAll(withKeys[k], nullptr, &keys[k]));
    EXPECT_EQ(Names(keyed), Names(expected)) << k;
  }
  PhotoList list;
  ASSERT_OK(list.InsertAll(gathered));
  EXPECT_EQ(gathered.Count(), 0);
  EXPECT_EQ(Names(list), Names(expected));
  EXPECT_EQ(list.UnnamedCount(), expected.UnnamedCount());
  EXPECT_GT(list.UnnamedCount(), 0);
  for (const int i : {0, 1234, 4999}) {
    const std::u16string name(list.At(i).fileName.View());
    std::u16string upper = name;
    for (char16_t& c : upper) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    EXPECT_EQ(list.FindOtherWithName(upper, -1), i);
    EXPECT_EQ(list.FindOtherWithName(name, i), -1);
  }

  // A cancel at each question in turn: while sorting the records stay where they were, after the
  // hand-over the list lets go of them; either way the list is empty.
  const auto make = [](ElementArray<PhotoEntry>* entries) {
    for (int i = 0; i < 5000; ++i) {
      ASSERT_OK(entries->Insert(
          Photo((u"p" + Utf8ToUtf16(std::to_string(i)) + u".jpg").c_str(), Day(1), true),
          entries->Count()));
    }
  };
  int questions = 0;
  {
    ElementArray<PhotoEntry> entries;
    make(&entries);
    PhotoList all;
    ASSERT_OK(all.InsertAll(entries, [&] { return ++questions > 0; }));
  }
  int keptWhole = 0;
  int handedOver = 0;
  for (int answerNoAt = 1; answerNoAt <= questions; ++answerNoAt) {
    ElementArray<PhotoEntry> entries;
    make(&entries);
    PhotoList cancelled;
    int asked = 0;
    EXPECT_STATUS(E_CANCELLED, cancelled.InsertAll(entries, [&] { return ++asked < answerNoAt; }));
    EXPECT_EQ(asked, answerNoAt);
    EXPECT_EQ(cancelled.Count(), 0);
    EXPECT_EQ(cancelled.UnnamedCount(), 0);
    EXPECT_EQ(cancelled.FindOtherWithName(u"p1.jpg", -1), -1);
    if (entries.Count() == 5000) {
      ++keptWhole;
      EXPECT_EQ(entries.At(4999).fileName.View(), u"p4999.jpg");
      EXPECT_EQ(handedOver, 0);  // never kept after a later cancel was not
    } else {
      ++handedOver;
      EXPECT_EQ(entries.Count(), 0);
    }
  }
  EXPECT_GT(keptWhole, 0);
  EXPECT_GT(handedOver, 0);
}

TEST(PhotoListTest, CaseOnlyOrderIsTheSameWhicheverComesFirst) {
  PhotoList one;
  PhotoList two;
  ASSERT_OK(one.Insert(Photo(u"x.jpg", Day(1), false)));
  ASSERT_OK(one.Insert(Photo(u"X.jpg", Day(1), false)));
  ASSERT_OK(two.Insert(Photo(u"X.jpg", Day(1), false)));
  ASSERT_OK(two.Insert(Photo(u"x.jpg", Day(1), false)));
  EXPECT_EQ(Names(one), Names(two));
}

// Photos 0..4: named, unnamed, named, unnamed, named.
PhotoList Mixed() {
  PhotoList list;
  for (int i = 0; i < 5; ++i) {
    const std::u16string name = u"p" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".jpg";
    EXPECT_OK(list.Insert(Photo(name.c_str(), Day(i + 1), i % 2 == 1)));
  }
  return list;
}

struct NavigationCase {
  std::uint32_t mode;
  int first, last, nextOf0, previousOf4, visibleFrom1;
};

class NavigationTest : public testing::TestWithParam<NavigationCase> {};

TEST_P(NavigationTest, VisitsThePhotosOfTheMode) {
  const NavigationCase& c = GetParam();
  PhotoList list = Mixed();
  list.SetNavigationMode(c.mode);
  EXPECT_EQ(list.FirstVisible(), c.first);
  EXPECT_EQ(list.LastVisible(), c.last);
  EXPECT_EQ(list.NextVisible(0), c.nextOf0);
  EXPECT_EQ(list.PreviousVisible(4), c.previousOf4);
  EXPECT_EQ(list.CountVisibleFrom(1), c.visibleFrom1);
}

INSTANTIATE_TEST_SUITE_P(Modes, NavigationTest,
                         testing::Values(NavigationCase{kNavigateAll, 0, 4, 1, 3, 4},
                                         NavigationCase{kNavigateUnnamed, 1, 3, 1, 3, 2},
                                         NavigationCase{kNavigateNamed, 0, 4, 2, 2, 2},
                                         NavigationCase{7, -1, -1, -1, -1, 0}),
                         LT_CASE_NAMES);

TEST(PhotoListTest, EmptyListHasNothingVisibleAndCountsZero) {
  PhotoList list;
  EXPECT_EQ(list.FirstVisible(), -1);
  EXPECT_EQ(list.LastVisible(), -1);
  CountedString text;
  ASSERT_OK(list.PhotoIndexText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"Photo #0 of 0.");
  ASSERT_OK(list.UnnamedCountText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"0 photos still to be named.");
}

TEST(PhotoListTest, CountTextsFollowTheListAndTheSingularForm) {
  PhotoList list = Mixed();
  list.SetCurrentIndex(2);
  CountedString text;
  ASSERT_OK(list.PhotoIndexText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"Photo #3 of 5.");
  ASSERT_OK(list.UnnamedCountText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"2 photos still to be named.");
  list.SetUnnamed(1, false);
  ASSERT_OK(list.UnnamedCountText(StringModule::BuiltIn(), text));
  EXPECT_EQ(text.View(), u"1 photo still to be named.");
  list.RemoveAt(3);
  EXPECT_EQ(list.UnnamedCount(), 0);
}

TEST(PhotoListTest, NameIndexIgnoresCaseAndFollowsRenamesAndRemovals) {
  PhotoList list = Mixed();
  EXPECT_EQ(list.FindOtherWithName(u"P2.JPG", -1), 2);
  EXPECT_EQ(list.FindOtherWithName(u"P2.JPG", 2), -1);  // only the photo itself
  ASSERT_OK(list.SetFileName(2, u"Trip #001.JPG"));
  EXPECT_EQ(list.FindOtherWithName(u"p2.jpg", -1), -1);
  EXPECT_EQ(list.FindOtherWithName(u"trip #001.jpg", 0), 2);
  list.RemoveAt(0);
  EXPECT_EQ(list.FindOtherWithName(u"TRIP #001.JPG", -1), 1);
  EXPECT_EQ(list.FindOtherWithName(u"p4.jpg", -1), 3);
}

TEST(BaseNameListTest, KeepsNoBaseNameAndReusesEqualEntries) {
  BaseNameList names;
  ASSERT_OK(names.Reset(StringModule::BuiltIn()));
  ASSERT_EQ(names.Count(), 1);
  EXPECT_TRUE(names.IsNoBaseName(0));
  EXPECT_EQ(names.TextOf(0), u"");
  int trip = -1;
  bool added = false;
  ASSERT_OK(names.Add(u"Trip", &trip, &added));
  EXPECT_TRUE(added);
  int again = -1;
  ASSERT_OK(names.Add(u"TRIP", &again, &added));
  EXPECT_FALSE(added);
  EXPECT_EQ(names.At(again), u"Trip");
  EXPECT_EQ(names.Count(), 2);
  EXPECT_EQ(names.TextOf(names.Find(u"trip")), u"Trip");
  EXPECT_FALSE(names.IsNoBaseName(names.Find(u"trip")));
}

}  // namespace
}  // namespace lumatag
