#include "ports/Messages.h"

namespace lumatag {

namespace {

void OutOfMemory(AppContext& context) {
  IgnoreStatus(ShowErrorMessage(context, IDS_OUT_OF_MEMORY));
}

// Loads an entry into `text` and fills its "{1}" from `argument` when one is given.
Status Prepare(AppContext& context, std::uint16_t id, const char16_t* argument,
               CountedString& text) {
  LT_TRY(LoadString(*context.resourceModule, id, text));
  if (argument != nullptr) {
    LT_TRY(SubstitutePlaceholder(text, 1, argument, CountedString::PlainLength(argument)));
  }
  return S_OK;
}

}  // namespace

void InstallOutOfMemoryMessage(AppContext& context) {
  context.InstallOutOfMemoryHandler(&OutOfMemory);
}

int ShowMessage(AppContext& context, const char16_t* text, std::uint32_t flags) {
  if (context.presenter == nullptr) return 0;
  const int previous = context.activityState;
  context.activityState = kActivityMessageBox;
  const int button = context.presenter->Show(text != nullptr ? text : u"", context.title.View(),
                                             flags, context.mainWindowVisible);
  context.activityState = previous;
  return button;
}

Status ShowErrorMessage(AppContext& context, std::uint16_t id) {
  MessageString text;
  LT_TRY(Prepare(context, id, nullptr, text));
  return ShowMessage(context, text.CStr(), MB_OK | MB_ICONERROR);
}

std::uint16_t StatusMessageId(Status status, std::uint16_t fallbackId) {
  switch (status) {
    case E_RESOURCE_NOT_FOUND:
      return IDS_RESOURCE_NOT_FOUND;
    case E_BUFFER_TOO_SMALL:
      return IDS_BUFFER_TOO_SMALL;
    case E_PATH_NOT_FOUND:
      return IDS_FOLDER_DOES_NOT_EXIST;
    case E_GRAPHICS_RESOURCES:
      return IDS_OUT_OF_GRAPHICS_RESOURCES;
    case E_OUTOFMEMORY:
      return IDS_OUT_OF_MEMORY;
    default:
      return fallbackId;
  }
}

Status ShowStatusError(AppContext& context, Status status, std::uint16_t fallbackId) {
  return ShowErrorMessage(context, StatusMessageId(status, fallbackId));
}

Status ShowInformation(AppContext& context, std::uint16_t id, const char16_t* text) {
  MessageString message;
  LT_TRY(Prepare(context, id, text, message));
  return ShowMessage(context, message.CStr(), MB_OK | MB_ICONINFORMATION);
}

int AskYesNo(AppContext& context, std::uint16_t id, const char16_t* text) {
  MessageString message;
  if (Failed(Prepare(context, id, text, message))) return IDNO;
  return ShowMessage(context, message.CStr(), MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2);
}

int AskYesNoWithDetails(AppContext& context, std::uint16_t id, const char16_t* text,
                        std::u16string_view details) {
  MessageString message;
  if (Failed(Prepare(context, id, text, message))) return IDNO;
  if (context.presenter == nullptr) return 0;
  const int previous = context.activityState;
  context.activityState = kActivityMessageBox;
  const int button = context.presenter->ShowWithDetails(
      message.CStr(), details, context.title.View(), MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2,
      context.mainWindowVisible);
  context.activityState = previous;
  return button;
}

int AskProposeUniqueName(AppContext& context) {
  MessageString message;
  if (Failed(Prepare(context, IDS_ASK_PROPOSE_UNIQUE_NAME, nullptr, message))) return IDYES;
  return ShowMessage(context, message.CStr(), MB_YESNO | MB_ICONINFORMATION);
}

int AskRenameBeforeProceeding(AppContext& context) {
  MessageString message;
  if (Failed(Prepare(context, IDS_ASK_RENAME_BEFORE_PROCEEDING, nullptr, message))) return IDNO;
  return ShowMessage(context, message.CStr(), MB_YESNOCANCEL | MB_ICONINFORMATION);
}

}  // namespace lumatag
