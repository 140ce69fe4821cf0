#include "metadata/BufferedFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lumatag {

Status BufferedFile::Attach(PrivateHeap* heap) {
  if (heap == nullptr) return E_INVALIDARG;
  if (IsOpen()) return E_UNEXPECTED;
  if (buffer_ != nullptr) heap_->Free(buffer_);
  heap_ = heap;
  buffer_ = static_cast<std::uint8_t*>(heap->Allocate(kBufferSize));
  return buffer_ == nullptr ? E_OUTOFMEMORY : S_OK;
}

Status BufferedFile::OpenForReading(const ReadableFileSystem& files, std::u16string_view path) {
  if (buffer_ == nullptr) return E_UNEXPECTED;
  if (IsOpen()) {
    (void)Flush();
    file_.reset();
  }
  bufferStart_ = valid_ = position_ = 0;
  dirty_ = false;
  return files.OpenForReading(path, &file_);
}

Status BufferedFile::Open(std::unique_ptr<ReadableFile> file) {
  if (buffer_ == nullptr) return E_UNEXPECTED;
  if (file == nullptr) return E_INVALIDARG;
  if (IsOpen()) {
    (void)Flush();
    file_.reset();
  }
  bufferStart_ = valid_ = position_ = 0;
  dirty_ = false;
  file_ = std::move(file);
  return S_OK;
}

Status BufferedFile::Flush() {
  if (!dirty_) return S_OK;
  dirty_ = false;
  LT_TRY(file_->Seek(bufferStart_));
  std::uint32_t written = 0;
  LT_TRY(file_->Write(buffer_, valid_, &written));
  return written == valid_ ? S_OK : E_UNEXPECTED;
}

Status BufferedFile::Refill() {
  if (dirty_) {
    LT_TRY(Flush());
    bufferStart_ += position_;
    valid_ = position_ = 0;
    LT_TRY(file_->Seek(bufferStart_));
  }
  // The platform position is always buffer start + valid here: reads are sequential, and seeks
  // outside the window reset the window at the new position. Offsets are 32-bit: the window
  // never reaches past 4 GiB, where positions would wrap to the start of the file.
  const std::uint64_t next = std::uint64_t{bufferStart_} + valid_;
  if (next > 0xFFFFFFFFu) return E_END_OF_DATA;
  const auto room = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(kBufferSize, std::uint64_t{0x100000000} - next));
  std::uint32_t got = 0;
  LT_TRY(file_->Read(buffer_, room, &got));
  bufferStart_ += valid_;
  position_ = 0;
  valid_ = got;
  return got == 0 ? E_END_OF_DATA : S_OK;
}

Status BufferedFile::Read(std::uint32_t count, void* destination, std::uint32_t capacity,
                          std::uint32_t* read) {
  if (read != nullptr) *read = 0;
  if (!IsOpen()) return E_HANDLE;
  std::uint32_t remaining = std::min(count, capacity);
  std::uint32_t copied = 0;
  auto* out = static_cast<std::uint8_t*>(destination);
  Status status = S_OK;
  while (remaining > 0) {
    if (position_ >= valid_) {
      status = Refill();
      if (Failed(status)) break;
    }
    const std::uint32_t n = std::min(remaining, valid_ - position_);
    std::memcpy(out + copied, buffer_ + position_, n);
    position_ += n;
    copied += n;
    remaining -= n;
  }
  if (read != nullptr) *read = copied;
  if (status == E_END_OF_DATA && copied > 0) return S_OK;
  return status;
}

Status BufferedFile::ReadAt(std::uint32_t offset, std::uint32_t count, void* destination,
                            std::uint32_t* read) {
  *read = 0;
  if (!IsOpen()) return E_HANDLE;
  if (count == 0) return S_OK;
  if (offset >= bufferStart_ &&
      std::uint64_t{offset} + count <= std::uint64_t{bufferStart_} + valid_) {
    std::memcpy(destination, buffer_ + (offset - bufferStart_), count);
    *read = count;
    return S_OK;
  }
  if (std::uint64_t{offset} + count > 0x100000000u) return E_END_OF_DATA;
  LT_TRY(Flush());
  LT_TRY(file_->Seek(offset));
  std::uint32_t got = 0;
  const Status status = file_->Read(destination, count, &got);
  // The platform position goes back to the end of the window, where the next refill reads.
  LT_TRY(file_->Seek(bufferStart_ + valid_));
  LT_TRY(status);
  *read = got;
  return got == 0 ? E_END_OF_DATA : S_OK;
}

Status BufferedFile::Seek(std::int64_t distance, SeekOrigin origin) {
  if (!IsOpen()) return E_HANDLE;
  std::int64_t target;
  if (origin == kFromCurrent) {
    const std::int64_t inside = std::int64_t{position_} + distance;
    if (valid_ > 0 && inside >= 0 && inside < std::int64_t{valid_}) {
      position_ = static_cast<std::uint32_t>(inside);
      return S_OK;
    }
    target = std::int64_t{bufferStart_} + inside;
  } else if (origin == kFromStart) {
    target = distance;
    if (valid_ > 0 && target >= std::int64_t{bufferStart_} &&
        target < std::int64_t{bufferStart_} + valid_) {
      position_ = static_cast<std::uint32_t>(target - bufferStart_);
      return S_OK;
    }
  } else {
    return E_INVALIDARG;
  }
  // Offsets are 32-bit: a target before the start or past 4 GiB cannot be reached.
  if (target < 0 || target > 0xFFFFFFFF) return E_INVALIDARG;
  LT_TRY(Flush());
  LT_TRY(file_->Seek(static_cast<std::uint32_t>(target)));
  bufferStart_ = static_cast<std::uint32_t>(target);
  valid_ = position_ = 0;
  return S_OK;
}

Status BufferedFile::Position(std::uint32_t* position) const {
  if (!IsOpen()) return E_HANDLE;
  const std::uint64_t at = std::uint64_t{bufferStart_} + position_;
  if (at > 0xFFFFFFFFu) return E_END_OF_DATA;
  *position = static_cast<std::uint32_t>(at);
  return S_OK;
}

Status BufferedFile::Size(std::uint32_t* size) const {
  if (!IsOpen()) return E_HANDLE;
  LT_TRY(file_->Size(size));
  // Bytes written past the end and not yet stored count too.
  if (dirty_) *size = std::max(*size, bufferStart_ + valid_);
  return S_OK;
}

Status BufferedFile::Write(const void* bytes, std::uint32_t count) {
  if (!IsOpen()) return E_HANDLE;
  const auto* in = static_cast<const std::uint8_t*>(bytes);
  while (count > 0) {
    const std::uint32_t n = std::min(count, kBufferSize - position_);
    std::memcpy(buffer_ + position_, in, n);
    in += n;
    count -= n;
    position_ += n;
    dirty_ = true;
    valid_ = std::max(valid_, position_);
    if (position_ == kBufferSize) {
      LT_TRY(Flush());
      bufferStart_ += valid_;
      valid_ = position_ = 0;
    }
  }
  return S_OK;
}

Status BufferedFile::LastWriteTime(SystemTime* local) const {
  if (!IsOpen()) return E_HANDLE;
  return file_->LastWriteTimeLocal(local);
}

Status BufferedFile::Close() {
  Status status = S_OK;
  if (IsOpen()) {
    status = Flush();
    file_.reset();
  }
  if (buffer_ != nullptr) heap_->Free(buffer_);
  buffer_ = nullptr;
  bufferStart_ = valid_ = position_ = 0;
  dirty_ = false;
  return status;
}

}  // namespace lumatag
