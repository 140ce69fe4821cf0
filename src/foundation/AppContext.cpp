#include "foundation/AppContext.h"

namespace lumatag {

namespace {
const TextComparer* g_installedComparer = nullptr;
}

AppContext::AppContext() = default;

AppContext::~AppContext() {
  if (outOfMemory_ != nullptr) heap->SetOutOfMemoryHandler(nullptr, nullptr);
  if (comparerInstalled_) g_installedComparer = previousComparer_;
}

void AppContext::OnOutOfMemory(void* self) {
  AppContext& context = *static_cast<AppContext*>(self);
  context.outOfMemory_(context);
}

void AppContext::InstallOutOfMemoryHandler(OutOfMemoryHandler handler) {
  outOfMemory_ = handler;
  heap->SetOutOfMemoryHandler(handler != nullptr ? &OnOutOfMemory : nullptr, this);
}

void AppContext::InstallTextComparer(const TextComparer* comparer) {
  if (!comparerInstalled_) previousComparer_ = g_installedComparer;
  comparerInstalled_ = true;
  textComparer = comparer;
  g_installedComparer = comparer;
}

const TextComparer* InstalledTextComparer() {
  return g_installedComparer;
}

}  // namespace lumatag
