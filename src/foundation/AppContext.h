// What the foundation needs of the application: the main window's state, the title, the string
// tables and the message presenter. The application object owns one for the whole run.
#pragma once

#include "foundation/CountedString.h"
#include "foundation/PrivateHeap.h"
#include "foundation/StringTable.h"
#include "platform/MessagePresenter.h"

namespace lumatag {

// Activity state while a message box is up.
inline constexpr int kActivityMessageBox = 7;

// The dialog that is open, where behaviour depends on it (previews show sample values).
enum OpenDialog : int {
  kDialogNone = 0,
  kDialogPatternEditor = 1,
  kDialogInsertNumber = 2,
};

struct AppContext {
  AppContext();
  ~AppContext();
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  // Routes the heap's allocation failures to "Out of memory." through this context; undone by the
  // destructor.
  void InstallOutOfMemoryHandler();

  PrivateHeap* heap = &PrivateHeap::Process();
  // The program's own table, and the table of the current user-interface language.
  const StringModule* programModule = &StringModule::BuiltIn();
  const StringModule* resourceModule = &StringModule::BuiltIn();
  MessagePresenter* presenter = nullptr;
  CountedString title;
  bool mainWindowVisible = false;
  int activityState = 0;
  OpenDialog openDialog = kDialogNone;

 private:
  bool handlerInstalled_ = false;
};

}  // namespace lumatag
