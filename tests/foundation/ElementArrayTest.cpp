#include "foundation/ElementArray.h"

#include <gtest/gtest.h>

#include "foundation/CountedString.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

int CompareInts(const int& key, const int& element) {
  return key < element ? -1 : (key > element ? 1 : 0);
}

std::vector<int> Contents(const ElementArray<int>& a) {
  return {a.begin(), a.end()};
}

TEST(ElementArrayTest, SortedArrayKeepsOrderAndRefusesEqualElements) {
  ElementArray<int> a(2, true, CompareInts);
  for (int v : {50, 10, 30, 20, 40}) ASSERT_OK(a.Add(v));
  EXPECT_EQ(Contents(a), (std::vector<int>{10, 20, 30, 40, 50}));
  int position = -1;
  EXPECT_STATUS(E_ALREADY_PRESENT, a.Add(30, &position));
  EXPECT_EQ(position, 2);
  EXPECT_EQ(a.Count(), 5);
}

TEST(ElementArrayTest, FindGivesTheMatchOrTheInsertionPosition) {
  ElementArray<int> a(4, true, CompareInts);
  for (int v : {10, 20, 30}) ASSERT_OK(a.Add(v));
  struct Case {
    int key;
    bool found;
    int position;
  };
  for (const Case& c : {Case{5, false, 0}, Case{10, true, 0}, Case{25, false, 2}, Case{30, true, 2},
                        Case{35, false, 3}}) {
    int position = -1;
    EXPECT_EQ(a.Find(c.key, &position), c.found) << c.key;
    EXPECT_EQ(position, c.position) << c.key;
  }
  ElementArray<int> empty(4, true, CompareInts);
  int position = -1;
  EXPECT_FALSE(empty.Find(1, &position));
  EXPECT_EQ(position, 0);
}

TEST(ElementArrayTest, UnsortedArrayAppendsAndFindsTheFirstEqualElement) {
  ElementArray<int> a(1, false, CompareInts);
  for (int v : {3, 1, 3, 2}) ASSERT_OK(a.Add(v));
  EXPECT_EQ(Contents(a), (std::vector<int>{3, 1, 3, 2}));
  int position = -1;
  EXPECT_TRUE(a.Find(3, &position));
  EXPECT_EQ(position, 0);
  EXPECT_FALSE(a.Find(9, &position));
  EXPECT_EQ(position, 4);
}

TEST(ElementArrayTest, InsertRemoveClearAndFree) {
  ElementArray<int> a(2);
  EXPECT_STATUS(E_INVALIDARG, a.Insert(1, 1));
  ASSERT_OK(a.Insert(1, 0));
  ASSERT_OK(a.Insert(3, 1));
  ASSERT_OK(a.Insert(2, 1));  // grows by the step
  EXPECT_EQ(a.Capacity(), 4);
  EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));
  a.RemoveAt(0);
  EXPECT_EQ(Contents(a), (std::vector<int>{2, 3}));
  a.Clear();
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.Capacity(), 4);
  a.Free();
  EXPECT_EQ(a.Capacity(), 0);
}

TEST(ElementArrayTest, OwnsElementsThatOwnStorage) {
  ElementArray<CountedString> a(1);
  for (const char16_t* text : {u"one", u"two", u"three"}) {
    CountedString s;
    ASSERT_OK(s.Assign(text));
    ASSERT_OK(a.Add(std::move(s)));
  }
  a.RemoveAt(1);
  EXPECT_EQ(a[1].View(), u"three");
  ElementArray<CountedString> copy;
  int calls = 0;
  const Status status = copy.CopyFrom(a, [&](const CountedString& from, CountedString& to) {
    if (++calls == 2) return E_FAIL;  // copying stops at the first failing element
    return to.Assign(from);
  });
  EXPECT_STATUS(E_FAIL, status);
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_EQ(copy[0].View(), u"one");
}

TEST(ElementArrayTest, ReserveRefusesAnOverflowingSize) {
  struct Big {
    char bytes[1ull << 35];  // 2^35 × 2^30 elements overflows 64 bits
  };
  ElementArray<Big> a;
  EXPECT_STATUS(E_VALUE_OUT_OF_RANGE, a.Reserve(1 << 30));
}

TEST(ElementArrayTest, ReserveReportsAllocationFailure) {
  ElementArray<int> a;
  PrivateHeap::Process().FailAllocationsAfter(0);
  const Status status = a.Reserve(8);
  PrivateHeap::Process().FailAllocationsAfter(-1);
  EXPECT_STATUS(E_OUTOFMEMORY, status);
  EXPECT_EQ(a.Capacity(), 0);
}

TEST(ElementArrayDeathTest, AnIndexOutsideTheArrayEndsTheProcess) {
  ElementArray<int> a;
  ASSERT_OK(a.Add(1));
  EXPECT_EXIT(a.At(1), testing::ExitedWithCode(kFatalExitStatus & 0xFF), "0x80090502");
  EXPECT_EXIT(a.At(-1), testing::ExitedWithCode(kFatalExitStatus & 0xFF), "0x80090502");
}

}  // namespace
}  // namespace lumatag
