// A growable array of elements stored by value, optionally kept sorted by a comparator that
// refuses equal elements. Every list of the program is one.
#pragma once

#include <cstddef>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

#include "foundation/PrivateHeap.h"
#include "foundation/Status.h"

namespace lumatag {

template <class T>
class ElementArray {
  static_assert(std::is_nothrow_move_constructible_v<T>, "elements are moved when the array grows");

 public:
  // (key, element) → -1 when the key sorts before the element, 0 when equal, +1 after. A plain
  // function: the arrays are many (one per photo's metadata) and a pointer is all they keep.
  using Comparator = int (*)(const T& key, const T& element);

  explicit ElementArray(int growthStep = 16, bool sorted = false, Comparator comparator = nullptr,
                        PrivateHeap* heap = &PrivateHeap::Process())
      : heap_(heap),
        growthStep_(growthStep < 1 ? 1 : growthStep),
        sorted_(sorted),
        comparator_(comparator) {}
  ~ElementArray() { Free(); }

  ElementArray(const ElementArray&) = delete;
  ElementArray& operator=(const ElementArray&) = delete;
  ElementArray(ElementArray&& other) noexcept { Take(other); }
  ElementArray& operator=(ElementArray&& other) noexcept {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }

  void SetComparator(Comparator comparator) { comparator_ = comparator; }

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }
  bool IsSorted() const { return sorted_; }
  T* begin() { return data_; }
  T* end() { return data_ + count_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + count_; }

  Status Reserve(int n) {
    if (n <= capacity_) return S_OK;
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(sizeof(T), static_cast<std::size_t>(n), &bytes) ||
        bytes <= sizeof(T) * static_cast<std::size_t>(capacity_)) {
      return E_VALUE_OUT_OF_RANGE;
    }
    T* storage = static_cast<T*>(heap_->Allocate(bytes));
    if (storage == nullptr) return E_OUTOFMEMORY;
    for (int i = 0; i < count_; ++i) {
      new (storage + i) T(std::move(data_[i]));
      data_[i].~T();
    }
    heap_->Free(data_);
    data_ = storage;
    capacity_ = n;
    return S_OK;
  }

  Status Insert(T element, int position) {
    if (position < 0 || position > count_) return E_INVALIDARG;
    if (count_ == capacity_) {
      if (capacity_ > (1 << 30) - growthStep_) return E_VALUE_OUT_OF_RANGE;
      LT_TRY(Reserve(capacity_ + growthStep_));
    }
    if (position == count_) {
      new (data_ + count_) T(std::move(element));
    } else {
      new (data_ + count_) T(std::move(data_[count_ - 1]));
      for (int i = count_ - 1; i > position; --i) data_[i] = std::move(data_[i - 1]);
      data_[position] = std::move(element);
    }
    ++count_;
    return S_OK;
  }

  // Sorted arrays: binary search; the matching position, or where the key would be inserted.
  // Unsorted arrays: the first element the comparator calls equal, or Count().
  template <class Key, class Compare>
  bool Find(const Key& key, Compare&& compare, int* position) const {
    if (sorted_) {
      int low = 0;
      int high = count_ - 1;
      while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int c = compare(key, data_[middle]);
        if (c == 0) {
          *position = middle;
          return true;
        }
        if (c < 0) {
          high = middle - 1;
        } else {
          low = middle + 1;
        }
      }
      *position = low;
      return false;
    }
    for (int i = 0; i < count_; ++i) {
      if (compare(key, data_[i]) == 0) {
        *position = i;
        return true;
      }
    }
    *position = count_;
    return false;
  }
  bool Find(const T& key, int* position) const { return Find(key, comparator_, position); }

  // Sorted arrays insert in order and refuse an equal element with E_ALREADY_PRESENT (position
  // then names the equal element); unsorted arrays append.
  Status Add(T element, int* position = nullptr) {
    int at = count_;
    if (sorted_ && Find(element, &at)) {
      if (position != nullptr) *position = at;
      return E_ALREADY_PRESENT;
    }
    LT_TRY(Insert(std::move(element), at));
    if (position != nullptr) *position = at;
    return S_OK;
  }

  // An index outside the array is a broken invariant and ends the process.
  T& At(int index) {
    CheckIndex(index);
    return data_[index];
  }
  const T& At(int index) const {
    CheckIndex(index);
    return data_[index];
  }
  T& operator[](int index) { return At(index); }
  const T& operator[](int index) const { return At(index); }

  void RemoveAt(int index) {
    CheckIndex(index);
    for (int i = index; i < count_ - 1; ++i) data_[i] = std::move(data_[i + 1]);
    data_[count_ - 1].~T();
    --count_;
  }

  // Releases every element; the storage is kept.
  void Clear() {
    for (int i = 0; i < count_; ++i) data_[i].~T();
    count_ = 0;
  }

  // Gives up this array's elements and storage and takes `other`'s (elements, storage and the
  // heap that storage came from); growth, order and comparator stay this array's own. `other`
  // is left empty.
  void TakeElementsOf(ElementArray& other) {
    if (this == &other) return;
    Free();
    TakeStorage(other);
  }

  // Releases every element and the storage.
  void Free() {
    Clear();
    if (data_ != nullptr) heap_->Free(data_);
    data_ = nullptr;
    capacity_ = 0;
  }

  // Replaces the contents with copies of `source`'s elements made by `copy` (source, target),
  // each target starting as a default element; stops at the first failing element.
  template <class Copy>
  Status CopyFrom(const ElementArray& source, Copy&& copy) {
    Clear();
    LT_TRY(Reserve(source.count_));
    for (int i = 0; i < source.count_; ++i) {
      new (data_ + count_) T();
      const Status status = copy(source.data_[i], data_[count_]);
      if (Failed(status)) {
        data_[count_].~T();
        return status;
      }
      ++count_;
    }
    return S_OK;
  }

 private:
  void CheckIndex(int index) const {
    if (index < 0 || index >= count_) FatalError("element index outside the array");
  }
  void Take(ElementArray& other) {
    growthStep_ = other.growthStep_;
    sorted_ = other.sorted_;
    comparator_ = other.comparator_;
    TakeStorage(other);
  }
  // Takes `other`'s elements, storage and the heap it came from; `other` is left empty.
  void TakeStorage(ElementArray& other) {
    heap_ = other.heap_;
    data_ = other.data_;
    count_ = other.count_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.count_ = other.capacity_ = 0;
  }

  PrivateHeap* heap_ = &PrivateHeap::Process();
  int count_ = 0;
  int capacity_ = 0;
  int growthStep_ = 16;
  T* data_ = nullptr;
  bool sorted_ = false;
  Comparator comparator_ = nullptr;
};

}  // namespace lumatag
