#include "application/Application.h"

#include "foundation/Numbers.h"
#include "foundation/StringIds.h"
#include "foundation/StringTable.h"
#include "metadata/PhotoMetadataReader.h"
#include "ports/Messages.h"
#include "workflow/FileActions.h"
#include "workflow/WorkingFolder.h"

namespace lumatag {

namespace {

// The process heap's initial size.
constexpr std::size_t kInitialHeapSize = 1024;

}  // namespace

bool SameCatalogue(const PatternCatalogue& a, const PatternCatalogue& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i) {
    const NamingPattern& x = a.At(i);
    const NamingPattern& y = b.At(i);
    if (x.name.View() != y.name.View() || x.definition.View() != y.definition.View() ||
        x.description.View() != y.description.View()) {
      return false;
    }
  }
  return true;
}

Application::Application(const ApplicationPorts& ports) : ports_(ports) {
  context_.presenter = ports_.presenter;
}

Application::~Application() = default;

Status Application::Load() {
  // The framework: the heap, the window settings.
  LT_TRY(context_.heap->Create(kInitialHeapSize));
  InstallOutOfMemoryMessage(context_);
  if (ports_.textComparer != nullptr) context_.InstallTextComparer(ports_.textComparer);
  settingsChanged_ = false;
  store_ = std::make_unique<SettingsStore>(*ports_.registry, *context_.programModule);
  LT_TRY(LoadWindowSettings(*store_, context_, window_, &settingsChanged_));
  // The application title, the title of every message box.
  LT_TRY(LoadString(*context_.programModule, IDS_APP_TITLE, context_.title));
  // The keyword table and the built-in patterns.
  LT_TRY(keywords_.Build(*context_.resourceModule));
  LT_TRY(catalogue_.BuildBuiltIns(context_, &keywords_));
  LT_TRY(catalogue_.BuildAutomaticList(context_));
  // The naming settings: working folder, flags, stored patterns and extensions. Settings that
  // cannot be read keep their defaults; the store has told the person.
  naming_.patterns = &catalogue_;
  naming_.extensions = &extensions_;
  PicturesFolderRule rule(*ports_.files, *ports_.folders);
  // Settings that cannot be read keep their defaults; the store has told the person.
  IgnoreStatus(LoadNamingSettings(*store_, context_, naming_, &rule, &settingsChanged_));
  bool defaulted = false;
  LT_TRY(extensions_.EnsureNotEmpty(*context_.resourceModule, &defaulted));
  if (defaulted) settingsChanged_ = true;
  return S_OK;
}

Status Application::CreateWorkflow(WorkflowView& view) {
  workflow_ = std::make_unique<PhotoWorkflow>(Services(view));
  workflow_->SetCurrentPattern(catalogue_.DefaultIndex());
  return S_OK;
}

WorkflowServices Application::Services(WorkflowView& view) {
  WorkflowServices services;
  services.context = &context_;
  services.files = ports_.files;
  services.readableFiles = ports_.readableFiles;
  services.sounds = ports_.sounds;
  services.view = &view;
  services.catalogue = &catalogue_;
  services.extensions = &extensions_;
  services.settings = &naming_;
  services.settingsChanged = &settingsChanged_;
  if (ports_.journal != nullptr && journal_ == nullptr) {
    journal_ = std::make_unique<RenameJournal>(*ports_.journal);
  }
  services.journal = journal_.get();
  services.clock = ports_.clock;
  services.folderLocks = ports_.folderLocks;
  return services;
}

Status Application::Scan(const ScanControl& control) {
  if (workflow_ == nullptr) return E_UNEXPECTED;
  return workflow_->RefreshPhotoList(true, true, control);
}

Status Application::SaveSettings(const ShowCommandSource& showCommand) {
  const Status window = SaveWindowSettings(*store_, window_, showCommand);
  const Status naming = SaveNamingSettings(*store_, naming_);
  if (Failed(window)) return window;
  if (Failed(naming)) return naming;
  if (window == S_OK && naming == S_OK) {
    settingsChanged_ = false;
    return S_OK;
  }
  return S_FALSE;
}

Status Application::SaveIfChanged(const ShowCommandSource& showCommand) {
  if (!settingsChanged_) return S_OK;
  return SaveSettings(showCommand);
}

Status Application::Exit(const ShowCommandSource& showCommand) {
  if (busy_ != 0) {
    // A message that cannot be shown leaves nothing more to do.
    IgnoreStatus(ShowErrorMessage(context_, IDS_ERR_CANNOT_EXIT));
    return E_FAIL;
  }
  if (workflow_ != nullptr) LT_TRY(workflow_->AskBeforeLeaving());
  // Save failures at exit are not shown.
  IgnoreStatus(SaveIfChanged(showCommand));
  return S_OK;
}

Status Application::FolderCommand(FolderChooser& chooser) {
  std::u16string chosen;
  Status status = S_OK;
  if (workflow_ != nullptr) {
    status = workflow_->ChooseFolderCommand(chooser, lastChosenFolder_, &chosen);
  } else {
    status = ChooseFolder(chooser, naming_.imageFolder.View(), lastChosenFolder_, &chosen);
    if (Succeeded(status) && static_cast<int>(chosen.size()) > kPathCapacity) {
      status = E_BUFFER_TOO_SMALL;
    }
    if (Succeeded(status) && chosen != naming_.imageFolder.View()) {
      status = naming_.imageFolder.Assign(chosen);
      if (Succeeded(status)) settingsChanged_ = true;
    }
    if (Failed(status) && status != E_CANCELLED) {
      // A message that cannot be shown leaves nothing more to do.
      IgnoreStatus(ShowErrorMessage(context_, IDS_ERR_CHANGING_FOLDER));
    }
  }
  if (Failed(status)) return status;
  lastChosenFolder_ = chosen;
  return Failed(SaveSettings()) ? S_FALSE : S_OK;
}

Status Application::CopySettings(SettingsCopy* copy) const {
  LT_TRY(copy->imageFolder.Assign(naming_.imageFolder));
  LT_TRY(copy->patterns.CopyFrom(catalogue_));
  LT_TRY(copy->extensions.CopyFrom(extensions_));
  copy->showFilePreview = naming_.showFilePreview;
  copy->advanceAfterRename = naming_.advanceAfterRename;
  copy->fileCheckBeeps = naming_.fileCheckBeeps;
  copy->showWindowTips = naming_.showWindowTips;
  copy->baseOnLast = naming_.baseOnLast;
  copy->renameCompanions = naming_.renameCompanions;
  return S_OK;
}

Status Application::ApplySettingsCopy(const SettingsCopy& copy, SettingsApplied* applied) {
  *applied = SettingsApplied();
  // 1. What differs.
  const bool folderChanged = copy.imageFolder.View() != naming_.imageFolder.View();
  const bool patternsChanged = !SameCatalogue(copy.patterns, catalogue_);
  const bool defaultChanged = copy.patterns.DefaultIndex() != catalogue_.DefaultIndex();
  const bool extensionsChanged = !SameExtensions(copy.extensions, extensions_);
  const bool previewChanged = copy.showFilePreview != naming_.showFilePreview;
  const bool flagsChanged =
      previewChanged || copy.advanceAfterRename != naming_.advanceAfterRename ||
      copy.fileCheckBeeps != naming_.fileCheckBeeps ||
      copy.showWindowTips != naming_.showWindowTips || copy.baseOnLast != naming_.baseOnLast ||
      copy.renameCompanions != naming_.renameCompanions;
  applied->changed =
      folderChanged || patternsChanged || defaultChanged || extensionsChanged || flagsChanged;

  // 2. The copy replaces the current settings. The current pattern is kept by its name: the
  // catalogue may have been re-sorted.
  std::u16string currentPattern;
  if (workflow_ != nullptr) {
    if (const NamingPattern* p = workflow_->PatternAt(workflow_->Naming().pattern)) {
      currentPattern = std::u16string(p->name.View());
    }
  }
  if (folderChanged) LT_TRY(naming_.imageFolder.Assign(copy.imageFolder));
  if (patternsChanged || defaultChanged) LT_TRY(catalogue_.CopyFrom(copy.patterns));
  if (extensionsChanged) LT_TRY(extensions_.CopyFrom(copy.extensions));
  naming_.showFilePreview = copy.showFilePreview;
  naming_.advanceAfterRename = copy.advanceAfterRename;
  naming_.fileCheckBeeps = copy.fileCheckBeeps;
  naming_.showWindowTips = copy.showWindowTips;
  naming_.baseOnLast = copy.baseOnLast;
  naming_.renameCompanions = copy.renameCompanions;
  applied->showWindowTips = naming_.showWindowTips;
  if (workflow_ != nullptr && patternsChanged) {
    int found = currentPattern.empty() ? -1 : catalogue_.Find(currentPattern);
    if (copy.currentPattern >= 0 && copy.currentPattern < catalogue_.Count() &&
        !catalogue_.At(copy.currentPattern).IsDeleted()) {
      found = copy.currentPattern;
    }
    workflow_->SetCurrentPattern(found >= 0 ? static_cast<std::uint16_t>(found)
                                            : catalogue_.DefaultIndex());
  }

  // 3. Saved at once.
  if (applied->changed) applied->saveFailed = SaveSettings() != S_OK;

  // 4. A rescan when the folder, the patterns or the extensions changed.
  if (workflow_ != nullptr && (folderChanged || patternsChanged || extensionsChanged)) {
    applied->rescanned = true;
    // A failed scan has been shown by the workflow; the list stays as it was.
    IgnoreStatus(workflow_->RefreshPhotoList(true, patternsChanged));
    return S_OK;
  }

  // 5. What the window shows again.
  applied->refresh = kRefreshEnabling;
  if (defaultChanged) applied->refresh |= kRefreshNewName | kRefreshPattern;
  if (previewChanged) applied->refresh |= kRefreshPreview;
  return S_OK;
}

std::u16string Application::JournalFolder() const {
  // The renames write down the folder part of the paths they build.
  std::u16string path = JoinPhotoPath(naming_.imageFolder.View(), u"x");
  path.pop_back();
  return path;
}

bool Application::CanUndoRename() {
  if (journal_ == nullptr || naming_.imageFolder.Length() == 0) return false;
  std::uint64_t id = 0;
  return Succeeded(journal_->LastBatchIn(JournalFolder(), &id)) && id != 0;
}

Status Application::UndoRenameCommand() {
  if (journal_ == nullptr || ports_.journal == nullptr || workflow_ == nullptr ||
      naming_.imageFolder.Length() == 0) {
    return S_OK;
  }
  std::uint64_t id = 0;
  JournalBatch batch;
  std::vector<JournalEntry> entries;
  Status status = journal_->LastBatchIn(JournalFolder(), &id);
  if (Succeeded(status) && id == 0) return S_OK;
  if (Succeeded(status)) status = journal_->ReadBatch(id, &batch, &entries);
  if (Failed(status)) {
    IgnoreStatus(ShowErrorMessage(context_, IDS_ERR_UNDO_RENAME));
    return status;
  }
  LT_TRY(workflow_->AskBeforeLeaving());
  CountedString count;
  LT_TRY(FormatUInt32(count, static_cast<std::uint32_t>(batch.count)));
  if (AskYesNo(context_, batch.count == 1 ? IDS_ASK_UNDO_RENAME : IDS_ASK_UNDO_RENAMES,
               count.CStr()) != IDYES) {
    return E_CANCELLED;
  }
  FileTime now = 0;
  // Without a time the batch is dated 0; the undo itself does not depend on it.
  if (ports_.clock != nullptr) IgnoreStatus(SystemTimeToFileTime(ports_.clock->LocalNow(), &now));
  UndoResult result;
  status = UndoBatch(*journal_, *ports_.journal, *ports_.files, id, now, &result);
  // The folder changed whatever happened: the list follows it (a scan shows its own failures).
  IgnoreStatus(workflow_->RefreshPhotoList(true, false));
  if (Failed(status)) {
    IgnoreStatus(ShowErrorMessage(context_, IDS_ERR_UNDO_RENAME));
    return status;
  }
  LT_TRY(FormatUInt32(count, static_cast<std::uint32_t>(result.restored)));
  // A message that cannot be shown leaves nothing more to do.
  IgnoreStatus(ShowInformation(context_, result.restored == 1 ? IDS_UNDO_DONE_ONE : IDS_UNDO_DONE,
                               count.CStr()));
  if (!result.problems.empty()) {
    LT_TRY(FormatUInt32(count, static_cast<std::uint32_t>(result.problems.size())));
    IgnoreStatus(ShowInformation(context_, IDS_UNDO_LEFT, count.CStr()));
  }
  return S_OK;
}

}  // namespace lumatag
