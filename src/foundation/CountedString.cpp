#include "foundation/CountedString.h"

#include <cstring>
#include <new>

namespace lumatag {

namespace {

bool Overlaps(const char16_t* chars, const char16_t* buffer, int capacity) {
  return buffer != nullptr && chars >= buffer && chars < buffer + capacity + 2;
}

}  // namespace

CountedString::CountedString(CountedString&& other) noexcept
    : heap_(other.heap_),
      buffer_(other.buffer_),
      length_(other.length_),
      capacity_(other.capacity_),
      owned_(other.owned_) {
  other.buffer_ = nullptr;
  other.length_ = other.capacity_ = 0;
  other.owned_ = false;
  if (other.heap_ == nullptr) other.heap_ = &PrivateHeap::Process();
}

CountedString& CountedString::operator=(CountedString&& other) noexcept {
  if (this != &other) {
    Release();
    heap_ = other.heap_;
    buffer_ = other.buffer_;
    length_ = other.length_;
    capacity_ = other.capacity_;
    owned_ = other.owned_;
    other.buffer_ = nullptr;
    other.length_ = other.capacity_ = 0;
    other.owned_ = false;
    if (other.heap_ == nullptr) other.heap_ = &PrivateHeap::Process();
  }
  return *this;
}

Status CountedString::AttachHeap(PrivateHeap* heap) {
  if (heap == nullptr) return E_INVALIDARG;
  Release();
  heap_ = heap;
  return S_OK;
}

void CountedString::AttachFixed(char16_t* buffer, int capacity) {
  Release();
  heap_ = nullptr;
  buffer_ = buffer;
  capacity_ = capacity;
  length_ = 0;
  owned_ = false;
  if (buffer_ != nullptr) Terminate();
}

CountedString* CountedString::Create(PrivateHeap* heap) {
  if (heap == nullptr) return nullptr;
  void* block = heap->Allocate(sizeof(CountedString));
  return block != nullptr ? new (block) CountedString(heap) : nullptr;
}

Status CountedString::CopyCreate(const CountedString* source, PrivateHeap* heap,
                                 CountedString** result) {
  *result = nullptr;
  if (source == nullptr) return S_OK;
  CountedString* copy = Create(heap);
  if (copy == nullptr) return E_OUTOFMEMORY;
  const Status status = copy->Assign(*source);
  if (Failed(status)) {
    Destroy(copy);
    return status;
  }
  *result = copy;
  return S_OK;
}

void CountedString::Destroy(CountedString* string) {
  if (string == nullptr) return;
  PrivateHeap* heap = string->heap_;
  string->~CountedString();
  (heap != nullptr ? heap : &PrivateHeap::Process())->Free(string);
}

Status CountedString::Reserve(int n) {
  if (n < 0) return E_INVALIDARG;
  if (n <= capacity_ && (buffer_ != nullptr || capacity_ != 0)) return S_OK;
  if (heap_ == nullptr) return E_BUFFER_TOO_SMALL;
  if (n + 2 > 65535) return E_VALUE_OUT_OF_RANGE;
  auto* storage = static_cast<char16_t*>(heap_->Allocate((static_cast<std::size_t>(n) + 2) * 2));
  if (storage == nullptr) return E_OUTOFMEMORY;
  if (buffer_ != nullptr) {
    std::memcpy(storage, buffer_, (static_cast<std::size_t>(length_) + 2) * 2);
    if (owned_) heap_->Free(buffer_);
  } else {
    storage[0] = 0;
    storage[1] = 0;
    length_ = 0;
  }
  buffer_ = storage;
  capacity_ = n;
  owned_ = true;
  return S_OK;
}

Status CountedString::Assign(const char16_t* chars, int count) {
  if (count < 0 || (chars == nullptr && count > 0)) return E_INVALIDARG;
  if (count > kMaxLength) return IsFixed() ? E_BUFFER_TOO_SMALL : E_VALUE_OUT_OF_RANGE;
  // The source may lie in this string's own storage; it survives a reserve because a text that is
  // already here is never longer than the capacity.
  LT_TRY(Reserve(count));
  if (count > 0) std::memmove(buffer_ + 1, chars, static_cast<std::size_t>(count) * 2);
  length_ = count;
  Terminate();
  return S_OK;
}

Status CountedString::Assign(const CountedString& other) {
  if (&other == this) return S_OK;
  if (other.length_ == 0) {
    Clear();
    return S_OK;
  }
  return Assign(other.buffer_ + 1, other.length_);
}

Status CountedString::Append(const char16_t* chars, int count) {
  return Insert(chars, count, length_);
}

Status CountedString::Insert(const char16_t* chars, int count, int position) {
  if (chars == nullptr && count > 0) return E_INVALIDARG;
  if (position < 0 || position > length_) return E_INDEX_OUT_OF_RANGE;
  if (count <= 0) return S_OK;
  const long long total = static_cast<long long>(length_) + count;
  if (total > kMaxLength) return IsFixed() ? E_BUFFER_TOO_SMALL : E_VALUE_OUT_OF_RANGE;
  // Inserting a piece of this string's own text: keep the offset, the storage may move.
  const bool self = Overlaps(chars, buffer_, capacity_);
  const std::ptrdiff_t offset = self ? chars - buffer_ : 0;
  LT_TRY(Reserve(static_cast<int>(total)));
  if (self) chars = buffer_ + offset;
  char16_t* at = buffer_ + 1 + position;
  const std::size_t tail = static_cast<std::size_t>(length_ - position);
  if (self) {
    // Copy through a temporary so that moving the tail cannot disturb the source.
    std::u16string piece(chars, static_cast<std::size_t>(count));
    std::memmove(at + count, at, tail * 2);
    std::memcpy(at, piece.data(), static_cast<std::size_t>(count) * 2);
  } else {
    std::memmove(at + count, at, tail * 2);
    std::memcpy(at, chars, static_cast<std::size_t>(count) * 2);
  }
  length_ = static_cast<int>(total);
  Terminate();
  return S_OK;
}

void CountedString::Remove(int position, int count) {
  if (count <= 0 || position < 0 || position >= length_) return;
  if (count > length_ - position) count = length_ - position;
  char16_t* at = buffer_ + 1 + position;
  std::memmove(at, at + count, static_cast<std::size_t>(length_ - position - count) * 2);
  length_ -= count;
  Terminate();
}

void CountedString::Truncate(int n) {
  if (buffer_ == nullptr || n >= length_) return;
  length_ = n < 0 ? 0 : n;
  Terminate();
}

void CountedString::SetLength(int n) {
  if (buffer_ == nullptr) return;
  length_ = n < 0 ? 0 : (n > capacity_ ? capacity_ : n);
  Terminate();
}

void CountedString::Remeasure() {
  if (buffer_ == nullptr) return;
  int n = 0;
  while (n < capacity_ && buffer_[n + 1] != 0) ++n;
  length_ = n;
  Terminate();
}

void CountedString::Clear() {
  if (buffer_ == nullptr) return;
  length_ = 0;
  Terminate();
}

void CountedString::Release() {
  if (owned_ && buffer_ != nullptr) heap_->Free(buffer_);
  buffer_ = nullptr;
  length_ = capacity_ = 0;
  owned_ = false;
}

int CountedString::FindChar(char16_t c, int start) const {
  for (int i = start < 0 ? 0 : start; i < length_; ++i) {
    if (buffer_[i + 1] == c) return i;
  }
  return -1;
}

int CountedString::FindText(const char16_t* text) const {
  if (text == nullptr) return -1;
  const std::size_t at = View().find(std::u16string_view(text));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CountedString::FindLastBackslash() const {
  for (int i = length_ - 1; i >= 0; --i) {
    if (buffer_[i + 1] == u'\\') return i;
  }
  return -1;
}

void CountedString::TrimTrailing() {
  int n = length_;
  while (n > 0 && IsWideSpace(buffer_[n])) --n;
  if (n != length_) {
    length_ = n;
    Terminate();
  }
}

void CountedString::TrimLeading() {
  int skip = 0;
  while (skip < length_ && IsWideSpace(buffer_[skip + 1])) ++skip;
  Remove(0, skip);
}

std::string CountedString::ToUtf8() const {
  return Utf16ToUtf8(View());
}

Status CountedString::AssignUtf8(std::string_view utf8) {
  return Assign(Utf8ToUtf16(utf8));
}

int CountedString::PlainLength(const char16_t* text) {
  if (text == nullptr) return 0;
  int n = 0;
  while (text[n] != 0) ++n;
  return n;
}

bool IsWideSpace(char16_t c) {
  if (c == 0x20 || (c >= 0x09 && c <= 0x0D)) return true;
  switch (c) {
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

bool IsDecimalDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace lumatag
