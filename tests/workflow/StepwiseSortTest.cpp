#include "workflow/StepwiseSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace lumatag {
namespace {

// Items with few distinct keys, so that stability shows: the second member is the original place.
std::vector<std::pair<int, int>> Items(std::size_t n) {
  std::vector<std::pair<int, int>> items;
  std::uint32_t seed = 1;
  for (std::size_t i = 0; i < n; ++i) {
    seed = seed * 1664525u + 1013904223u;
    items.emplace_back(static_cast<int>(seed >> 24) % 50, static_cast<int>(i));
  }
  return items;
}

bool ByKey(const std::pair<int, int>& a, const std::pair<int, int>& b) {
  return a.first < b.first;
}

TEST(StepwiseSortTest, SameResultAsStableSortAcrossRunAndMergeBoundaries) {
  for (const std::size_t n : {0u, 1u, 4095u, 4096u, 4097u, 8193u, 20000u}) {
    std::vector<std::pair<int, int>> items = Items(n);
    std::vector<std::pair<int, int>> expected = items;
    std::stable_sort(expected.begin(), expected.end(), ByKey);
    int asked = 0;
    EXPECT_TRUE(StableSortInSteps(items, ByKey, [&asked] { return ++asked > 0; }));
    EXPECT_EQ(items, expected) << n;
    EXPECT_TRUE(StableSortInSteps(items, ByKey, nullptr));  // sorted input stays as it is
    EXPECT_EQ(items, expected) << n;
  }
}

TEST(StepwiseSortTest, StoppingAtAnyStepLosesNoItem) {
  const std::vector<std::pair<int, int>> original = Items(20000);
  std::vector<std::pair<int, int>> sortedOriginal = original;
  std::sort(sortedOriginal.begin(), sortedOriginal.end());
  for (int stopAt = 1; stopAt <= 11; ++stopAt) {  // five runs, then 3 + 2 + 1 merges
    std::vector<std::pair<int, int>> items = original;
    int asked = 0;
    EXPECT_FALSE(StableSortInSteps(items, ByKey, [&] { return ++asked < stopAt; })) << stopAt;
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, sortedOriginal) << stopAt;
  }
}

}  // namespace
}  // namespace lumatag
