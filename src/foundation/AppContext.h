// What the foundation needs of the application: the main window's state, the title, the string
// tables, the message presenter and the text comparer. The application object owns one for the
// whole run. The ports it holds are only named here; their interfaces sit in the layer above.
#pragma once

#include "foundation/CountedString.h"
#include "foundation/PrivateHeap.h"
#include "foundation/StringTable.h"

namespace lumatag {

class MessagePresenter;
class TextComparer;

// Activity state while a message box is up.
inline constexpr int kActivityMessageBox = 7;

// The dialog that is open, where behaviour depends on it (previews show sample values).
enum OpenDialog : int {
  kDialogNone = 0,
  kDialogPatternEditor = 1,
  kDialogInsertNumber = 2,
};

struct AppContext {
  using OutOfMemoryHandler = void (*)(AppContext& context);

  AppContext();
  ~AppContext();
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  // Routes the heap's allocation failures to `handler`, called with this context (the message
  // front-ends' InstallOutOfMemoryMessage shows "Out of memory."); undone by the destructor.
  void InstallOutOfMemoryHandler(OutOfMemoryHandler handler);

  // Makes `comparer` this context's text comparer and the one the locale-neutral comparison uses
  // for the run (sorted lists compare without a context at hand); the destructor puts back the one
  // installed before.
  void InstallTextComparer(const TextComparer* comparer);

  PrivateHeap* heap = &PrivateHeap::Process();
  // The program's own table, and the table of the current user-interface language.
  const StringModule* programModule = &StringModule::BuiltIn();
  const StringModule* resourceModule = &StringModule::BuiltIn();
  MessagePresenter* presenter = nullptr;
  const TextComparer* textComparer = nullptr;
  CountedString title;
  bool mainWindowVisible = false;
  int activityState = 0;
  OpenDialog openDialog = kDialogNone;

 private:
  static void OnOutOfMemory(void* self);

  OutOfMemoryHandler outOfMemory_ = nullptr;
  bool comparerInstalled_ = false;
  const TextComparer* previousComparer_ = nullptr;
};

// The text comparer installed by the running application context, or null.
const TextComparer* InstalledTextComparer();

}  // namespace lumatag
