// The allocator record shared by every string and array of the process.
#pragma once

#include <cstddef>

#include "foundation/Status.h"

namespace lumatag {

class PrivateHeap {
 public:
  // Called once for each failed allocation, before the failure is returned; the application
  // installs a handler that shows "Out of memory.".
  using OutOfMemoryHandler = void (*)(void* context);

  PrivateHeap() = default;
  PrivateHeap(const PrivateHeap&) = delete;
  PrivateHeap& operator=(const PrivateHeap&) = delete;

  // The process-wide record. Strings and arrays without a heap of their own use it; before Create
  // and after Destroy it serves from the process's default allocator.
  static PrivateHeap& Process();

  // Creates the heap with an initial size in bytes; 0 selects the process's default heap.
  Status Create(std::size_t initialSize);
  // Destroys the heap; the record goes on serving from the process's default allocator.
  void Destroy();

  // Allocates `bytes` rounded up to a multiple of 4. Returns nothing on failure, after calling the
  // out-of-memory handler. A size whose rounding overflows is a fatal error.
  void* Allocate(std::size_t bytes);
  // Frees a block from Allocate; nothing is a no-op.
  void Free(void* block);

  void SetOutOfMemoryHandler(OutOfMemoryHandler handler, void* context);

  // Test hook: the next `successes` allocations succeed, every later one fails, until the hook is
  // cleared with a negative value.
  void FailAllocationsAfter(long successes) { failAfter_ = successes; }
  bool FailingAllocations() const { return failAfter_ >= 0; }

  static constexpr std::size_t RoundedSize(std::size_t bytes) {
    return (bytes + 3) & ~static_cast<std::size_t>(3);
  }

 private:
  bool created_ = false;
  long failAfter_ = -1;
  OutOfMemoryHandler outOfMemory_ = nullptr;
  void* outOfMemoryContext_ = nullptr;
};

}  // namespace lumatag
