#include "app/cli/WorkflowSession.h"

#include <cstdio>

#include "platform/linux/PosixReadableFile.h"
#include "ports/TextComparer.h"
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
    std::printf("%s\n", Utf16ToUtf8(text).c_str());
    std::fflush(stdout);
    return IDOK;
  }
  return terminal_.Show(text, title, flags, owned);
}

WorkflowSession::WorkflowSession(CliContext& context)
    : context_(context),
      presenter_(context.terminal),
      previousPresenter_(context.app.presenter),
      catalogue_(context.app.heap) {
  context_.app.presenter = &presenter_;
}

WorkflowSession::~WorkflowSession() {
  context_.app.presenter = previousPresenter_;
}

int WorkflowSession::Open(const std::string& folder, int mode, bool dryRun) {
  AppContext& app = context_.app;
  if (Failed(keywords_.Build(*app.resourceModule)) ||
      Failed(catalogue_.BuildBuiltIns(app, &keywords_)) ||
      Failed(catalogue_.BuildAutomaticList(app))) {
    return 2;
  }
  registry_ = std::make_unique<HiveRegistryStore>(HiveRegistryStore::DefaultPath());
  store_ = std::make_unique<SettingsStore>(*registry_, *app.programModule);
  settings_.patterns = &catalogue_;
  settings_.extensions = &extensions_;
  PicturesFolderRule rule(files_, folders_);
  // Settings that cannot be read leave their defaults; the store has told the person.
  IgnoreStatus(LoadNamingSettings(*store_, app, settings_, &rule, &settingsChanged_));

  if (!folder.empty()) {
    ArgumentFolderChooser chooser(Utf8ToUtf16(folder));
    std::u16string chosen;
    if (Failed(ChooseFolder(chooser, settings_.imageFolder.View(), u"", &chosen)) ||
        Failed(settings_.imageFolder.Assign(chosen))) {
      return 2;
    }
  }
  if (mode >= 0) settings_.fileNavigationMode = static_cast<std::uint32_t>(mode);

  WorkflowServices services;
  services.context = &app;
  services.files = dryRun ? static_cast<FileOperations*>(&dryRunFiles_) : &files_;
  services.readableFiles = &PlatformReadableFileSystem();
  services.sounds = &sounds_;
  services.view = &view_;
  services.catalogue = &catalogue_;
  services.extensions = &extensions_;
  services.settings = &settings_;
  services.settingsChanged = &settingsChanged_;
  workflow_ = std::make_unique<PhotoWorkflow>(services);
  return Failed(workflow_->RefreshPhotoList(true, true)) ? 1 : 0;
}

int WorkflowSession::FindPhoto(const std::string& file) const {
  const std::u16string name = Utf8ToUtf16(file);
  const PhotoList& list = workflow_->Photos();
  for (int i = 0; i < list.Count(); ++i) {
    if (list.At(i).fileName.View() == name) return i;
  }
  return list.FindOtherWithName(name, -1);
}

int WorkflowSession::FindPattern(std::u16string_view name) const {
  const int index = catalogue_.Find(name);
  if (index < 0 || !catalogue_.At(index).IsUsable() || catalogue_.At(index).IsDeleted()) return -1;
  return index;
}

}  // namespace lumatag::cli
