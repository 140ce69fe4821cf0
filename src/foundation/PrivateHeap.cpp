#include "foundation/PrivateHeap.h"

#include <cstdlib>
#include <limits>

namespace lumatag {

PrivateHeap& PrivateHeap::Process() {
  static PrivateHeap heap;
  return heap;
}

Status PrivateHeap::Create(std::size_t initialSize) {
  // The standard allocator grows on demand, so the initial size only decides between a heap of
  // the program's own and the process's default one; both serve through malloc here.
  created_ = initialSize != 0;
  return S_OK;
}

void PrivateHeap::Destroy() {
  created_ = false;
}

void* PrivateHeap::Allocate(std::size_t bytes) {
  if (bytes > std::numeric_limits<std::size_t>::max() - 3) FatalError("allocation size overflows");
  void* block = nullptr;
  if (failAfter_ != 0) {
    block = std::malloc(RoundedSize(bytes == 0 ? 1 : bytes));
    if (failAfter_ > 0) --failAfter_;
  }
  if (block == nullptr && outOfMemory_ != nullptr) outOfMemory_(outOfMemoryContext_);
  return block;
}

void PrivateHeap::Free(void* block) {
  std::free(block);
}

void PrivateHeap::SetOutOfMemoryHandler(OutOfMemoryHandler handler, void* context) {
  outOfMemory_ = handler;
  outOfMemoryContext_ = context;
}

}  // namespace lumatag
