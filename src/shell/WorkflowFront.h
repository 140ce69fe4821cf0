// The one place where the desktop shell talks to the photo workflow. The window and the start-up
// code call these and nothing else, so that the workflow underneath can change shape (a controller
// over separate scanning, checking and renaming stages) by editing this file alone.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "workflow/PhotoWorkflow.h"

namespace lumatag::shell {

class WorkflowFront {
 public:
  // `workflow` is the host's controller and must outlive the front.
  explicit WorkflowFront(PhotoWorkflow& workflow) : workflow_(&workflow) {}

  // ---- What the window shows -------------------------------------------------------------------
  const PhotoList& Photos() const { return workflow_->Photos(); }
  const NamingState& Naming() const { return workflow_->Naming(); }
  std::u16string_view NewNameText() const { return workflow_->NewNameText(); }
  std::u16string_view WorkingFolder() const { return workflow_->WorkingFolder(); }
  bool CanRename() const { return workflow_->CanRename(); }
  bool CanGoFirst() const { return workflow_->CanGoFirst(); }
  bool CanGoPrevious() const { return workflow_->CanGoPrevious(); }
  bool CanGoNext() const { return workflow_->CanGoNext(); }
  bool CanGoLast() const { return workflow_->CanGoLast(); }
  bool CanDelete() const { return workflow_->CanDelete(); }
  int NextVisible(int index) const { return workflow_->Photos().NextVisible(index); }

  // ---- Commands --------------------------------------------------------------------------------
  Status Scan(bool clear, bool rebuildTagList) {
    return workflow_->RefreshPhotoList(clear, rebuildTagList);
  }
  Status AskBeforeLeaving() { return workflow_->AskBeforeLeaving(); }
  Status GoFirst() { return workflow_->GoFirst(); }
  Status GoPrevious() { return workflow_->GoPrevious(); }
  Status GoNext() { return workflow_->GoNext(); }
  Status GoLast() { return workflow_->GoLast(); }
  Status ChoosePhoto(int index) { return workflow_->ChoosePhoto(index); }
  Status ChangeNavigationMode(std::uint32_t mode) { return workflow_->ChangeNavigationMode(mode); }
  Status ChoosePattern(std::u16string_view name) { return workflow_->ChoosePattern(name); }
  void BaseNameTyped() { workflow_->BaseNameTyped(); }
  Status ChooseBaseName(std::u16string_view text, bool typed, bool enter) {
    return workflow_->ChooseBaseName(text, typed, enter);
  }
  void NewNameEdited(std::u16string_view text) { workflow_->NewNameEdited(text); }
  Status Rename() { return workflow_->Rename(); }
  Status RenameRemaining() { return workflow_->RenameRemaining(nullptr, true); }
  Status Delete() { return workflow_->Delete(); }

 private:
  PhotoWorkflow* workflow_;
};

}  // namespace lumatag::shell
