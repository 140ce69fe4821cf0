#include "app/cli/WorkflowSession.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/PosixReadableFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/NativePath.h"

#include "workflow/FileActions.h"
#include "workflow/WorkingFolder.h"

namespace lumatag::cli {

namespace {

// The folder choice of the command line: the folder given as an argument.
class ArgumentFolderChooser final : public FolderChooser {
 public:
  explicit ArgumentFolderChooser(std::u16string folder) : folder_(std::move(folder)) {}
  Status Choose(std::u16string_view, std::u16string* folder) override {
    if (folder_.empty()) return E_CANCELLED;
    *folder = folder_;
    if (folder->back() != kPathSeparator) folder->push_back(kPathSeparator);
    return S_OK;
  }

 private:
  std::u16string folder_;
};

}  // namespace

int CliPresenter::Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
                       bool owned) {
  if ((flags & MB_TYPEMASK) == MB_OK && (flags & MB_ICONMASK) == MB_ICONINFORMATION) {
    std::printf("%s\n", EscapedMessage(text).c_str());
    std::fflush(stdout);
    return IDOK;
  }
  return terminal_.Show(text, title, flags, owned);
}

WorkflowSession::WorkflowSession(CliContext& context) : presenter_(context.terminal) {}

WorkflowSession::~WorkflowSession() = default;

int WorkflowSession::Open(const std::string& folder, int mode, bool dryRun,
                          const ScanControl& scanControl) {
  registry_ = std::make_unique<HiveRegistryStore>(HiveRegistryStore::DefaultPath());
  ApplicationPorts ports;
  ports.registry = registry_.get();
  ports.files = dryRun ? static_cast<FileOperations*>(&dryRunFiles_) : &files_;
  ports.readableFiles = &PlatformReadableFileSystem();
  ports.folders = &folders_;
  ports.sounds = &sounds_;
  ports.presenter = &presenter_;
  ports.textComparer = &PlatformTextComparer();
  // A dry run moves nothing, so there is nothing to write down.
  ports.journal = dryRun ? nullptr : &journalStore_;
  ports.clock = &clock_;
  // A dry run renames nothing, so it keeps nobody out.
  if (!dryRun) ports.folderLocks = &folderLocks_;
  app_ = std::make_unique<Application>(ports);
  if (Failed(app_->Load())) return 2;

  if (!folder.empty()) {
    // Absolute, so that the rename journal names the folder wherever an undo is run from.
    char resolved[PATH_MAX];
    const std::string absolute = realpath(folder.c_str(), resolved) != nullptr ? resolved : folder;
    ArgumentFolderChooser chooser(ArgumentText(absolute));
    if (dryRun) {
      // A dry run changes nothing, the settings included.
      std::u16string chosen;
      if (Failed(ChooseFolder(chooser, app_->Naming().imageFolder.View(), u"", &chosen)) ||
          Failed(app_->Naming().imageFolder.Assign(chosen))) {
        return 2;
      }
    } else if (Failed(app_->FolderCommand(chooser))) {
      return 2;
    }
  }
  if (mode >= 0) app_->Naming().fileNavigationMode = static_cast<std::uint32_t>(mode);
  if (Failed(app_->CreateWorkflow(view_))) return 2;
  return Failed(app_->Scan(scanControl)) ? 1 : 0;
}

int WorkflowSession::FindPhoto(const std::string& file) const {
  const std::u16string name = ArgumentText(file);
  const PhotoList& list = app_->Workflow().Photos();
  for (int i = 0; i < list.Count(); ++i) {
    if (list.At(i).fileName.View() == name) return i;
  }
  return list.FindOtherWithName(name, -1);
}

int WorkflowSession::FindPattern(std::u16string_view name) const {
  const PatternCatalogue& catalogue = app_->Catalogue();
  const int index = catalogue.Find(name);
  if (index < 0 || !catalogue.At(index).IsUsable() || catalogue.At(index).IsDeleted()) return -1;
  return index;
}

}  // namespace lumatag::cli
