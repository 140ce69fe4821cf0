// The one string type: UTF-16 text whose storage begins with a count character.
//
// Storage layout for capacity C (C + 2 units): unit 0 holds the length (the count character),
// units 1 .. length hold the text, the unit after the text is always 0. The count is a 16-bit unit,
// so no string holds more than 65,533 characters.
//
// Heap mode: the string allocates from a PrivateHeap and grows as needed, to exactly the length
// asked for. Fixed mode: the string lives in a caller's buffer (see FixedString) and any growth
// past its capacity fails with E_BUFFER_TOO_SMALL, leaving the string unchanged.
#pragma once

#include <string>
#include <string_view>

#include "foundation/PrivateHeap.h"
#include "foundation/Status.h"

namespace lumatag {

class CountedString {
 public:
  static constexpr int kMaxLength = 65533;

  // An empty heap-mode string on the process heap; storage is allocated on first growth.
  CountedString() : heap_(&PrivateHeap::Process()) {}
  explicit CountedString(PrivateHeap* heap) : heap_(heap) {}
  // A fixed-mode string over `buffer`, which must hold capacity + 2 units.
  CountedString(char16_t* buffer, int capacity) { AttachFixed(buffer, capacity); }
  ~CountedString() { Release(); }

  CountedString(const CountedString&) = delete;
  CountedString& operator=(const CountedString&) = delete;
  // Moving hands the storage over; the source is left empty in heap mode on the same heap.
  CountedString(CountedString&& other) noexcept;
  CountedString& operator=(CountedString&& other) noexcept;

  // Releases any storage and attaches to a heap (empty heap: E_INVALIDARG) or a fixed buffer.
  Status AttachHeap(PrivateHeap* heap);
  void AttachFixed(char16_t* buffer, int capacity);

  // Heap-created string objects, freed with Destroy.
  static CountedString* Create(PrivateHeap* heap);
  // A new heap object with the text of `source`; an absent source gives no object and S_OK.
  static Status CopyCreate(const CountedString* source, PrivateHeap* heap, CountedString** result);
  static void Destroy(CountedString* string);

  Status Reserve(int n);

  Status Assign(const char16_t* chars, int count);
  Status Assign(const CountedString& other);
  Status Assign(std::u16string_view text) { return Assign(text.data(), Size(text)); }
  Status Append(const char16_t* chars, int count);
  Status Append(const CountedString& other) { return Append(other.Data(), other.length_); }
  Status Append(std::u16string_view text) { return Append(text.data(), Size(text)); }
  Status Append(char16_t c) { return Append(&c, 1); }
  Status Insert(const char16_t* chars, int count, int position);
  void Remove(int position, int count);
  void Truncate(int n);
  // Clamps n to 0 .. capacity and rewrites count character and terminator; used after an outside
  // writer has filled the buffer.
  void SetLength(int n);
  // Recomputes the length from the terminator after an outside writer filled the buffer.
  void Remeasure();
  void Clear();
  // Frees owned storage; the string becomes empty and keeps its heap (a fixed string forgets its
  // buffer).
  void Release();

  // The text, or nothing for an empty string.
  const char16_t* Text() const { return length_ > 0 ? buffer_ + 1 : nullptr; }
  // The text, never nothing: an empty string gives "".
  const char16_t* CStr() const { return buffer_ != nullptr ? buffer_ + 1 : u""; }
  std::u16string_view View() const { return {CStr(), static_cast<std::size_t>(length_)}; }
  int Length() const { return length_; }
  int Capacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }
  bool IsFixed() const { return heap_ == nullptr; }
  bool Owned() const { return owned_; }
  // The storage, count character first; writable text starts at Storage() + 1. Nothing when the
  // string has no storage yet (call Reserve first).
  char16_t* Storage() { return buffer_; }
  const char16_t* Storage() const { return buffer_; }
  char16_t* MutableText() { return buffer_ != nullptr ? buffer_ + 1 : nullptr; }
  char16_t operator[](int i) const { return buffer_[i + 1]; }

  int FindChar(char16_t c, int start = 0) const;
  int FindText(const char16_t* text) const;
  int FindLastBackslash() const;

  void TrimTrailing();
  void TrimLeading();

  // UTF-8 copy of the text, for terminals and logs.
  std::string ToUtf8() const;
  Status AssignUtf8(std::string_view utf8);

  static int PlainLength(const char16_t* text);
  static int Size(std::u16string_view text) { return static_cast<int>(text.size()); }

 private:
  const char16_t* Data() const { return buffer_ != nullptr ? buffer_ + 1 : nullptr; }
  void Terminate() {
    buffer_[0] = static_cast<char16_t>(length_);
    buffer_[length_ + 1] = 0;
  }

  PrivateHeap* heap_ = nullptr;
  char16_t* buffer_ = nullptr;
  int length_ = 0;
  int capacity_ = 0;
  bool owned_ = false;
};

// Storage for a fixed-mode string; kept in a base so that it exists before the string attaches.
template <int N>
struct FixedStringStorage {
  char16_t storage[N + 2];
};

// A fixed-mode string with its own buffer of capacity N, for the stack.
template <int N>
class FixedString : private FixedStringStorage<N>, public CountedString {
 public:
  FixedString() : CountedString(this->storage, N) {}
  FixedString(const FixedString&) = delete;
  FixedString& operator=(const FixedString&) = delete;
};

// Capacities used throughout the program.
inline constexpr int kMessageCapacity = 255;
inline constexpr int kPathCapacity = 272;
using MessageString = FixedString<kMessageCapacity>;
using PathString = FixedString<kPathCapacity>;

// White space as the wide-character classification defines it (ASCII blanks and controls 9-13,
// and the Unicode space separators).
bool IsWideSpace(char16_t c);
bool IsDecimalDigit(char16_t c);

// Text in photos and other 8-bit sources: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
// The target is always terminated; returns E_TRUNCATED when the text was cut to fit.
Status ConvertFromAnsi(const char* source, int sourceBytes, char16_t* target, int targetCapacity,
                       int* written = nullptr);
// Back to 8 bits (UTF-8); the target is always terminated.
Status ConvertToAnsi(const char16_t* source, int count, char* target, int targetCapacity);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace lumatag
