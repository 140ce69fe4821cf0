// The message front-ends: every failure and question reaches the person through these. Texts are
// prepared in a fixed 255-character buffer, so preparing a message never allocates; a text that
// does not fit is not shown (the front-end returns its failure or its fallback answer).
#pragma once

#include <cstdint>

#include "foundation/AppContext.h"
#include "ports/MessagePresenter.h"

namespace lumatag {

// Routes the heap's allocation failures of `context` to an "Out of memory." error message.
void InstallOutOfMemoryMessage(AppContext& context);
// Shows a ready text; the main window owns the box when it is visible. Returns the button pressed.
int ShowMessage(AppContext& context, const char16_t* text, std::uint32_t flags);
// An entry with no argument, as an error. Returns the button pressed, or the failure status when
// the text cannot be prepared (nothing is shown then).
Status ShowErrorMessage(AppContext& context, std::uint16_t id);
// The entry for `status` (missing resource, buffer too small, path not found, graphics resources,
// out of memory), else `fallbackId`, as an error.
Status ShowStatusError(AppContext& context, Status status, std::uint16_t fallbackId);
// The entry chosen by ShowStatusError for a status.
std::uint16_t StatusMessageId(Status status, std::uint16_t fallbackId);
// An entry with "{1}" filled from `text` when given, as information.
Status ShowInformation(AppContext& context, std::uint16_t id, const char16_t* text = nullptr);
// IDYES or IDNO, No being the default button; IDNO when the text cannot be prepared.
int AskYesNo(AppContext& context, std::uint16_t id, const char16_t* text = nullptr);
// AskYesNo with `details` in the box's details area.
int AskYesNoWithDetails(AppContext& context, std::uint16_t id, const char16_t* text,
                        std::u16string_view details);
// IDYES or IDNO; IDYES when the text cannot be prepared.
int AskProposeUniqueName(AppContext& context);
// IDYES, IDNO or IDCANCEL; IDNO when the text cannot be prepared.
int AskRenameBeforeProceeding(AppContext& context);

}  // namespace lumatag
