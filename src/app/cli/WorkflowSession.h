// The photo workflow as the command-line program runs it: the settings read as the desktop
// program reads them, the folder given on the command line, messages on the terminal (information
// on standard output, everything else on standard error), no sounds and no window.
#pragma once

#include <memory>
#include <string>

#include "app/cli/CliCommon.h"
#include "application/Application.h"
#include "platform/linux/HiveRegistryStore.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxFolderLock.h"
#include "platform/linux/LinuxJournalStore.h"
#include "platform/linux/LinuxStandardFolders.h"
#include "platform/linux/SystemClock.h"
#include "ports/SoundPlayer.h"
#include "workflow/PhotoWorkflow.h"

namespace lumatag::cli {

// Information boxes go to standard output (they are the result of a command); everything else to
// the terminal presenter.
class CliPresenter final : public MessagePresenter {
 public:
  explicit CliPresenter(MessagePresenter& terminal) : terminal_(terminal) {}
  int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
           bool owned) override;
  int AskChoice(std::u16string_view text, std::u16string_view title,
                std::span<const Choice> choices, bool owned) override {
    return terminal_.AskChoice(text, title, choices, owned);
  }

 private:
  MessagePresenter& terminal_;
};

// Moves that only pretend: a dry run lists what would happen and touches nothing.
class DryRunFileOperations final : public FileOperations {
 public:
  explicit DryRunFileOperations(FileOperations& real) : real_(real) {}
  Status OpenListing(std::u16string_view folder, std::unique_ptr<FolderListing>* listing) override {
    return real_.OpenListing(folder, listing);
  }
  Status OpenNameListing(std::u16string_view folder,
                         std::unique_ptr<FolderListing>* listing) override {
    return real_.OpenNameListing(folder, listing);
  }
  Status Move(std::u16string_view, std::u16string_view, bool) override { return S_OK; }
  Status Recycle(std::u16string_view) override { return S_OK; }

 private:
  FileOperations& real_;
};

class SilentSoundPlayer final : public SoundPlayer {
 public:
  void Play(SystemSound, bool) override {}
};

class WorkflowSession {
 public:
  explicit WorkflowSession(CliContext& context);
  ~WorkflowSession();

  // Reads the settings; `folder` (the bytes of the command-line argument), when not empty, replaces
  // the working folder as the Folder command would (and the settings are saved, except in a dry
  // run); `mode` >= 0 replaces the navigation mode for this run. Then scans, with `scanControl`.
  // Returns 0 or an exit code.
  int Open(const std::string& folder, int mode, bool dryRun, const ScanControl& scanControl = {});

  Application& App() { return *app_; }
  PhotoWorkflow& Workflow() { return app_->Workflow(); }
  // The index of the photo named `file` (exactly, else without regard to case), or -1.
  int FindPhoto(const std::string& file) const;
  // The index of the usable pattern of that name (without regard to case), or -1.
  int FindPattern(std::u16string_view name) const;

 private:
  CliPresenter presenter_;
  std::unique_ptr<HiveRegistryStore> registry_;
  LinuxFileOperations files_;
  DryRunFileOperations dryRunFiles_{files_};
  LinuxJournalStore journalStore_{LinuxJournalStore::DefaultFolder()};
  SystemClock clock_;
  LinuxFolderLocker folderLocks_;
  LinuxStandardFolders folders_;
  SilentSoundPlayer sounds_;
  NullWorkflowView view_;
  std::unique_ptr<Application> app_;
};

}  // namespace lumatag::cli
