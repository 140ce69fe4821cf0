// A stable sort done in short steps, asking between steps whether to go on: the scan of a large
// folder sorts its list while still reporting progress and honouring a cancel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <vector>

namespace lumatag {

// Sorts `items` stably by `less` (the result of std::stable_sort). `keepGoing`, when set, is
// called after each run of a few thousand items is sorted and after each pair of runs is merged
// (a merge is linear); when it returns false the sort stops and the function returns false,
// leaving every item in `items` in some order.
template <typename T, typename Less>
bool StableSortInSteps(std::vector<T>& items, Less less, const std::function<bool()>& keepGoing) {
  constexpr std::size_t kStepItems = 4096;
  auto goOn = [&keepGoing] { return !keepGoing || keepGoing(); };
  const std::size_t n = items.size();
  // Runs of kStepItems sorted one by one, then merged pairwise, run lengths doubling.
  for (std::size_t start = 0; start < n; start += kStepItems) {
    const std::size_t end = std::min(n, start + kStepItems);
    std::stable_sort(items.begin() + static_cast<std::ptrdiff_t>(start),
                     items.begin() + static_cast<std::ptrdiff_t>(end), less);
    if (!goOn()) return false;
  }
  if (n <= kStepItems) return true;
  std::vector<T> merged;
  merged.reserve(n);
  for (std::size_t width = kStepItems; width < n; width *= 2) {
    merged.clear();
    for (std::size_t start = 0; start < n; start += 2 * width) {
      const auto first =
          std::make_move_iterator(items.begin() + static_cast<std::ptrdiff_t>(start));
      const auto middle = std::make_move_iterator(
          items.begin() + static_cast<std::ptrdiff_t>(std::min(n, start + width)));
      const auto last = std::make_move_iterator(
          items.begin() + static_cast<std::ptrdiff_t>(std::min(n, start + 2 * width)));
      // Taking from the left run first on ties keeps the sort stable.
      std::merge(first, middle, middle, last, std::back_inserter(merged), less);
      if (!goOn()) {
        // Puts what was merged back in front of the rest, so that no item is lost.
        std::move(merged.begin(), merged.end(), items.begin());
        return false;
      }
    }
    items.swap(merged);
  }
  return true;
}

}  // namespace lumatag
