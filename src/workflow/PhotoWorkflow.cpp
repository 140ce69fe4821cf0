#include "workflow/PhotoWorkflow.h"

#include <vector>

#include "foundation/Numbers.h"
#include "foundation/StringIds.h"
#include "metadata/MetadataCatalogue.h"
#include "metadata/PhotoMetadataReader.h"
#include "patterns/Classification.h"
#include "patterns/NameMatcher.h"
#include "ports/Messages.h"
#include "ports/TextComparer.h"
#include "workflow/FileActions.h"
#include "workflow/FolderLister.h"

namespace lumatag {

namespace {

// Position of the extension's dot: the last dot among the last five characters, with no folder
// separator or colon after it; -1 when there is none. So extensions have 1 to 4 characters.
int ExtensionDot(std::u16string_view name) {
  const int length = static_cast<int>(name.size());
  for (int i = length - 1; i >= 0 && i >= length - 5; --i) {
    const char16_t c = name[static_cast<std::size_t>(i)];
    if (c == u'.') return i;
    if (c == u'\\' || c == u'/' || c == u':') return -1;
  }
  return -1;
}

constexpr std::u16string_view kInvalidNameCharacters = u"\\/:*\"?<>|";

bool IsValidFileName(std::u16string_view name) {
  if (name.empty() || static_cast<int>(name.size()) > kMaxPhotoNameLength) return false;
  if (name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c == 0 || kInvalidNameCharacters.find(c) != std::u16string_view::npos) return false;
  }
  return true;
}

}  // namespace

PhotoWorkflow::PhotoWorkflow(const WorkflowServices& services)
    : services_(services), lookup_(*services.extensions) {
  environment_.app = services_.context;
  environment_.catalogue = services_.catalogue;
  environment_.extensions = &lookup_;
  list_.SetNavigationMode(services_.settings->fileNavigationMode);
}

void PhotoWorkflow::MarkSettingsChanged() {
  if (services_.settingsChanged != nullptr) *services_.settingsChanged = true;
}

void PhotoWorkflow::Refresh(std::uint32_t mask) {
  if (mask & kRefreshNewName) {
    if (RefreshProposal() == E_BUFFER_TOO_SMALL) {
      ShowErrorMessage(Context(), IDS_ERR_NEW_NAME_TOO_LONG);
    }
  }
  naming_.updating = true;
  services_.view->RefreshWindowState(mask);
  naming_.updating = false;
}

void PhotoWorkflow::Fill(std::uint32_t mask) {
  if (mask & kRefreshNewName) {
    if (RefreshProposal() == E_BUFFER_TOO_SMALL) {
      ShowErrorMessage(Context(), IDS_ERR_NEW_NAME_TOO_LONG);
    }
  }
  naming_.updating = true;
  services_.view->FillBoxes(mask);
  naming_.updating = false;
}

const NamingPattern* PhotoWorkflow::PatternAt(std::uint16_t index) const {
  if (index == kNoPatternIndex || index >= services_.catalogue->Count()) return nullptr;
  return &services_.catalogue->At(index);
}

std::u16string_view PhotoWorkflow::CurrentBaseNameText() const {
  return list_.BaseNames().TextOf(naming_.baseName);
}

std::uint32_t PhotoWorkflow::SequenceStartOf(std::uint16_t pattern, bool firstPhoto,
                                             bool* found) const {
  bool dummy = false;
  if (found == nullptr) found = &dummy;
  const NamingPattern* p = PatternAt(pattern);
  if (p == nullptr) {
    *found = false;
    return 0;
  }
  return SequenceStart(*p, firstPhoto, found);
}

Status PhotoWorkflow::BuildPath(std::u16string_view name, CountedString& path) const {
  const std::u16string joined = JoinPhotoPath(WorkingFolder(), name);
  if (static_cast<int>(joined.size()) > kPathCapacity) return E_BUFFER_TOO_SMALL;
  return path.Assign(joined);
}

// ---------------------------------------------------------------------------------------------
// The photo list

Status PhotoWorkflow::RebuildQuickPassTags() {
  return BuildQuickPassTagList(*services_.catalogue, &quickPassTags_);
}

Status PhotoWorkflow::ClassifyName(PhotoEntry& photo) {
  return lumatag::ClassifyName(*services_.catalogue, &photo, &lookup_);
}

Status PhotoWorkflow::RefreshPhotoList(bool clear, bool rebuildTagList) {
  AppContext& context = Context();
  if (clear) {
    list_.Clear();
    services_.view->ReleasePreview();
    naming_.baseName = -1;
    naming_.pendingChange = false;
    naming_.typed = false;
    naming_.automatic = false;
  }
  if (rebuildTagList || quickPassTags_.Count() == 0) LT_TRY(RebuildQuickPassTags());
  if (!list_.IsEmpty()) return S_OK;

  services_.view->SetWaitCursor(true);
  Status status = list_.BaseNames().Reset(Strings());
  bool changed = false;
  if (Succeeded(status)) status = services_.extensions->EnsureNotEmpty(Strings(), &changed);
  if (changed) MarkSettingsChanged();

  bool fileFailed = false;
  if (Succeeded(status) && !WorkingFolder().empty()) {
    const std::u16string folder(WorkingFolder());
    FolderLister lister(*services_.files);
    Status listed = lister.Start(folder, u"", FolderLister::kFiles);
    MetadataReadContext read;
    read.files = services_.readableFiles;
    read.strings = &Strings();
    std::vector<PhotoEntry> entries;
    while (Succeeded(listed)) {
      const FolderEntry& file = lister.Current();
      const int dot = ExtensionDot(file.name);
      if (dot >= 0 && services_.extensions->Find(std::u16string_view(file.name).substr(dot + 1))) {
        PhotoEntry photo;
        const FileTime created = file.creationTime;
        Status one =
            SetupPhotoFacts(&photo, context.heap, file.name.c_str(), &created, kNoPatternIndex, 0);
        if (Succeeded(one)) {
          photo.flags |= kPhotoNamed;
          photo.flags &= ~(kPhotoOriginalFound | kPhotoOriginalIsCurrent);
          // A photo whose metadata cannot be read is still listed, by its file date.
          ReadPhotoMetadata(read, folder, &photo, &quickPassTags_, false);
          one = ClassifyName(photo);
        }
        if (Succeeded(one)) {
          entries.push_back(std::move(photo));
        } else {
          fileFailed = true;
        }
      }
      listed = lister.Next();
    }
    lister.End();
    if (listed != E_NO_MORE_FILES) status = listed;
    if (Failed(list_.InsertAll(entries))) fileFailed = true;
    for (int i = 0; i < list_.Count(); ++i) {
      const PhotoEntry& photo = list_.At(i);
      if ((photo.flags & kPhotoUnnamed) == 0 && photo.baseNameLength > 0 &&
          photo.baseNameStart + photo.baseNameLength <= photo.fileName.Length()) {
        if (Failed(list_.BaseNames().Add(
                photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength),
                nullptr))) {
          fileFailed = true;
        }
      }
    }
  }

  int current = -1;
  if (!list_.IsEmpty()) {
    current = list_.FirstVisible();
    if (current < 0) current = 0;
  }
  SelectPhoto(current);
  Fill(kRefreshAll);
  services_.view->SetWaitCursor(false);
  if (Failed(status)) {
    ShowStatusError(context, status, IDS_ERR_UPDATING_PHOTO_LIST);
    return status;
  }
  if (fileFailed) ShowErrorMessage(context, IDS_ERR_PHOTOS_NOT_LISTED);
  return S_OK;
}

Status PhotoWorkflow::ChangeWorkingFolder(std::u16string_view folder) {
  if (folder == WorkingFolder()) return S_OK;
  LT_TRY(services_.settings->imageFolder.Assign(folder));
  MarkSettingsChanged();
  return RefreshPhotoList(true, false);
}

Status PhotoWorkflow::ChooseFolderCommand(FolderChooser& chooser, std::u16string_view lastChosen,
                                          std::u16string* chosen) {
  const Status asked = AskBeforeLeaving();
  if (Failed(asked)) {
    if (asked != E_CANCELLED) ShowErrorMessage(Context(), IDS_ERR_FOLDER_DIALOG);
    return asked;
  }
  Status status = ChooseFolder(chooser, WorkingFolder(), lastChosen, chosen);
  if (Succeeded(status) && static_cast<int>(chosen->size()) > kPathCapacity) {
    status = E_BUFFER_TOO_SMALL;
  }
  if (Succeeded(status) && *chosen != WorkingFolder()) {
    status = services_.settings->imageFolder.Assign(*chosen);
    if (Succeeded(status)) {
      MarkSettingsChanged();
      // The scan reports its own failures.
      RefreshPhotoList(true, false);
    }
  }
  if (Failed(status) && status != E_CANCELLED) ShowErrorMessage(Context(), IDS_ERR_CHANGING_FOLDER);
  return status;
}

// ---------------------------------------------------------------------------------------------
// Naming

Status PhotoWorkflow::SelectPhoto(int index) {
  if (index == -1) {
    list_.SetCurrentIndex(-1);
    if (naming_.pattern == kNoPatternIndex && services_.catalogue->Count() > 0) naming_.pattern = 0;
    naming_.baseName = list_.BaseNames().NoBaseNameIndex();
    naming_.number = 0;
    naming_.pendingChange = naming_.typed = naming_.automatic = false;
    return S_OK;
  }
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  PhotoEntry& photo = list_.At(index);
  if ((photo.flags & kPhotoFullyRead) == 0) {
    TagFilter full;
    BuildFullPassFilter(&full);
    MetadataReadContext read;
    read.files = services_.readableFiles;
    read.strings = &Strings();
    ReadPhotoMetadata(read, WorkingFolder(), &photo, &full, true);
    photo.flags |= kPhotoFullyRead;
  }
  list_.SetCurrentIndex(index);
  const bool unnamed = (photo.flags & kPhotoUnnamed) != 0;
  if (!unnamed) naming_.pattern = PatternIndex(photo);
  naming_.baseName = list_.BaseNames().NoBaseNameIndex();
  if (!unnamed && photo.baseNameLength > 0 &&
      photo.baseNameStart + photo.baseNameLength <= photo.fileName.Length()) {
    const int found = list_.BaseNames().Find(
        photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength));
    if (found >= 0) naming_.baseName = found;
  }
  naming_.number = unnamed ? SequenceStartOf(naming_.pattern, true, nullptr) : photo.number;
  naming_.pendingChange = naming_.typed = naming_.automatic = false;
  return S_OK;
}

Status PhotoWorkflow::GenerateWithExtension(int index, std::uint16_t pattern, int baseName,
                                            bool firstPhoto, std::uint32_t number,
                                            CountedString& name) {
  const NamingPattern* p = PatternAt(pattern);
  if (p == nullptr || index < 0 || index >= list_.Count()) return E_INVALIDARG;
  CountedString base;
  LT_TRY(base.Assign(list_.BaseNames().TextOf(baseName)));
  return GenerateName(environment_, p, &list_.At(index), &base, firstPhoto, number, &name);
}

Status PhotoWorkflow::ProposeName(int index, std::uint16_t pattern, int baseName,
                                  std::uint32_t number, CountedString& name) {
  name.Truncate(0);
  if (index < 0 || index >= list_.Count() || PatternAt(pattern) == nullptr || baseName < 0) {
    return S_OK;
  }
  const bool first = number == SequenceStartOf(pattern, true, nullptr);
  const PhotoEntry& photo = list_.At(index);
  const Status generated = GenerateWithExtension(index, pattern, baseName, first, number, name);
  if (Succeeded(generated) && !name.IsEmpty()) {
    const int dot = ExtensionDot(photo.fileName.View());
    if (dot >= 0) LT_TRY(name.Append(photo.fileName.View().substr(static_cast<std::size_t>(dot))));
  } else if (Failed(generated)) {
    name.Truncate(0);
    if ((photo.flags & kPhotoUnnamed) == 0) LT_TRY(name.Assign(photo.fileName));
  }
  if (name.Length() > kMaxPhotoNameLength) return E_BUFFER_TOO_SMALL;
  return S_OK;
}

Status PhotoWorkflow::RefreshProposal() {
  const int current = list_.CurrentIndex();
  if (list_.IsEmpty() || current < 0) {
    newName_.Truncate(0);
    return S_OK;
  }
  CountedString name;
  const Status status =
      ProposeName(current, naming_.pattern, naming_.baseName, naming_.number, name);
  if (Failed(status)) {
    newName_.Truncate(0);
    return status;
  }
  return newName_.Assign(name);
}

Status PhotoWorkflow::MakeUniqueName(CountedString& name, int index, std::uint16_t pattern,
                                     int baseName, std::uint32_t* number) {
  if (index < 0 || index >= list_.Count() || PatternAt(pattern) == nullptr || baseName < 0 ||
      baseName >= list_.BaseNames().Count()) {
    return E_INVALIDARG;
  }
  bool found = false;
  const std::uint32_t first = SequenceStartOf(pattern, true, &found);
  bool firstPhoto = *number == first;
  if (!firstPhoto) {
    const std::uint32_t second = SequenceStartOf(pattern, false, &found);
    if (second > *number) *number = second;
  }
  for (;;) {
    LT_TRY(GenerateWithExtension(index, pattern, baseName, firstPhoto, *number, name));
    LT_TRY(CheckExtension(name, index, false));
    if (list_.FindOtherWithName(name.View(), index) < 0) return S_OK;
    if (firstPhoto) {
      firstPhoto = false;
      *number = SequenceStartOf(pattern, false, &found);
    } else if (!found || *number == UINT32_MAX) {
      return E_FAIL;
    } else {
      ++*number;
    }
  }
}

Status PhotoWorkflow::ChooseFreeNumber(int baseName, std::uint32_t start) {
  if (baseName < 0 || baseName >= list_.BaseNames().Count()) return E_INVALIDARG;
  naming_.baseName = baseName;
  naming_.number = start;
  CountedString name;
  std::uint32_t number = start;
  LT_TRY(MakeUniqueName(name, list_.CurrentIndex(), naming_.pattern, baseName, &number));
  naming_.number = number;
  return S_OK;
}

Status PhotoWorkflow::CheckExtension(CountedString& name, int index, bool ask) {
  const int newDot = ExtensionDot(name.View());
  if (newDot >= 0 && !ask) return S_OK;
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  const std::u16string_view current = list_.At(index).fileName.View();
  const int oldDot = ExtensionDot(current);
  if (oldDot < 0) return S_OK;
  if (newDot < 0) return name.Append(current.substr(static_cast<std::size_t>(oldDot)));
  const std::u16string_view newExtension = name.View().substr(static_cast<std::size_t>(newDot) + 1);
  if (CompareInvariant(newExtension, current.substr(static_cast<std::size_t>(oldDot) + 1), true) ==
      0) {
    return S_OK;
  }
  if (services_.extensions->Find(newExtension)) {
    return AskYesNo(Context(), IDS_ASK_EXTENSION_CHANGE) == IDYES ? S_OK : E_CANCELLED;
  }
  ShowErrorMessage(Context(), IDS_ERR_EXTENSION_NOT_SUPPORTED);
  return E_CANCELLED;
}

Status PhotoWorkflow::CheckNewName(CountedString& name, int index, std::uint16_t* pattern,
                                   int* baseName, std::uint32_t* number, bool quiet) {
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  // A name that is no plain file name is refused even in a batch: it could move the photo out of
  // the working folder.
  if (!IsValidFileName(name.View())) {
    if (!quiet) ShowErrorMessage(Context(), IDS_ERR_PHOTO_NAME_INVALID_CHARACTER);
    return E_FAIL;
  }
  if (!quiet && services_.catalogue->Automatic() != nullptr &&
      IsCameraGeneratedName(name.View(), &lookup_)) {
    ShowErrorMessage(Context(), IDS_ERR_CAMERA_GENERATED_NAME);
    return E_FAIL;
  }
  const Status extension = CheckExtension(name, index, !quiet);
  if (Failed(extension)) {
    if (extension != E_CANCELLED) ShowErrorMessage(Context(), IDS_ERR_CHECK_UNIQUE);
    return extension;
  }
  const int other = list_.FindOtherWithName(name.View(), index);
  if (other < 0) return S_OK;
  if (!quiet && AskProposeUniqueName(Context()) != IDYES) return E_ALREADY_PRESENT;

  const PhotoEntry& taken = list_.At(other);
  int otherBase = list_.BaseNames().NoBaseNameIndex();
  if (taken.baseNameLength > 0 &&
      taken.baseNameStart + taken.baseNameLength <= taken.fileName.Length()) {
    LT_TRY(list_.BaseNames().Add(
        taken.fileName.View().substr(taken.baseNameStart, taken.baseNameLength), &otherBase));
  }
  std::uint16_t otherPattern = PatternIndex(taken);
  std::uint32_t otherNumber = taken.number;
  CountedString unique;
  const Status made = MakeUniqueName(unique, index, otherPattern, otherBase, &otherNumber);
  if (Failed(made)) {
    if (!quiet) ShowErrorMessage(Context(), IDS_ERR_CREATE_UNIQUE_NAME);
    return made;
  }
  LT_TRY(name.Assign(unique));
  *pattern = otherPattern;
  *baseName = otherBase;
  *number = otherNumber;
  return S_OK;
}

Status PhotoWorkflow::ReadNameBack(PhotoEntry& photo, std::u16string_view name,
                                   std::uint16_t pattern, std::uint16_t* matched,
                                   std::uint16_t* baseStart, std::uint16_t* baseLength,
                                   std::uint32_t* number) {
  CountedString fileName;
  LT_TRY(fileName.Assign(name));
  NameMatch match;
  BestPattern best;
  const NamingPattern* p = PatternAt(pattern);
  if (p != nullptr && p->IsUsable() && !p->IsDeleted() &&
      Succeeded(MatchName(p, &photo, &fileName, &lookup_, &match)) && match.matched) {
    best.index = pattern;
    best.baseStart = match.baseStart;
    best.baseLength = match.baseLength;
    best.number = match.number;
  } else {
    const PatternListView naming = PatternListView::Naming(*services_.catalogue);
    LT_TRY(FindBestPattern(&naming, &photo, &fileName, &lookup_, &best));
    if (best.index == kNoPatternMatched) best = BestPattern();
  }
  *matched = best.index;
  *baseStart = best.baseStart;
  *baseLength = best.baseLength;
  *number = best.number;
  return *matched == kNoPatternIndex ? S_RENAMED_WITHOUT_PATTERN : S_OK;
}

Status PhotoWorkflow::RenameFailed(Status status, bool quiet) {
  Refresh(kRefreshEnabling);
  if (status != E_CANCELLED && !quiet) ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO);
  return status;
}

Status PhotoWorkflow::RenamePhoto(CountedString& name, int index, std::uint16_t pattern,
                                  int baseName, std::uint32_t* number, bool quiet) {
  if (index < 0 || index >= list_.Count()) return RenameFailed(E_INVALIDARG, quiet);
  const bool current = index == list_.CurrentIndex();
  Status status = CheckNewName(name, index, &pattern, &baseName, number, quiet);
  if (Failed(status)) return RenameFailed(status, quiet);

  PathString oldPath;
  PathString newPath;
  status = BuildPath(list_.At(index).fileName.View(), oldPath);
  if (Succeeded(status)) status = BuildPath(name.View(), newPath);
  if (Failed(status)) return RenameFailed(status, quiet);

  if (current) services_.view->ReleasePreview();
  const std::u16string oldName(list_.At(index).fileName.View());
  if (oldName != name.View()) {
    MoveResult move;
    if (batchAnswer_ == kAnswerNoToAll || batchAnswer_ == kAnswerYesToAll) {
      // An earlier "to All" answer of this batch stands for every later question.
      move.status = services_.files->Move(oldPath.View(), newPath.View(), false);
      move.moved = Succeeded(move.status);
      if (move.status == E_FILE_EXISTS || move.status == E_ALREADY_EXISTS) {
        if (batchAnswer_ == kAnswerYesToAll) {
          move.status = services_.files->Move(oldPath.View(), newPath.View(), true);
          move.moved = Succeeded(move.status);
        } else {
          move.status = S_OK;
          move.moved = false;
        }
      }
    } else {
      move = MoveFileTo(Context(), *services_.files, oldPath.View(), newPath.View());
      if (move.answer == kAnswerNoToAll || move.answer == kAnswerYesToAll) {
        if (inBatch_) batchAnswer_ = move.answer;
      }
    }
    if (Failed(move.status)) return RenameFailed(move.status, quiet);
    // Declining to overwrite leaves the photo exactly as it was.
    if (!move.moved) return RenameFailed(E_CANCELLED, quiet);
  }
  if (onRenamed) onRenamed(oldName, name.View());

  // The file has its new name now: the entry follows it whatever the name reads as.
  PhotoEntry& photo = list_.At(index);
  std::uint16_t matched = kNoPatternIndex;
  std::uint16_t baseStart = 0;
  std::uint16_t baseLength = 0;
  std::uint32_t readNumber = 0;
  Status read =
      ReadNameBack(photo, name.View(), pattern, &matched, &baseStart, &baseLength, &readNumber);
  if (Failed(read)) read = S_RENAMED_WITHOUT_PATTERN;
  status = list_.SetFileName(index, name.View());
  if (Failed(status)) {
    // The entry cannot take the new name: put the file back so that list and folder agree.
    services_.files->Move(newPath.View(), oldPath.View(), false);
    return RenameFailed(status, quiet);
  }
  list_.SetUnnamed(index, false);
  photo.patternIndex = matched;
  photo.baseNameStart = baseStart;
  photo.baseNameLength = baseLength;
  photo.number = readNumber;

  if (current) {
    int base = list_.BaseNames().NoBaseNameIndex();
    if (baseLength > 0 && baseStart + baseLength <= photo.fileName.Length()) {
      list_.BaseNames().Add(photo.fileName.View().substr(baseStart, baseLength), &base);
    }
    naming_.baseName = base;
    naming_.pendingChange = naming_.typed = naming_.automatic = false;
  }
  list_.SetCurrentIndex(index);
  if (read == S_RENAMED_WITHOUT_PATTERN && !quiet) {
    ShowInformation(Context(), IDS_RENAMED_WITHOUT_PATTERN, photo.fileName.CStr());
  }
  return read;
}

// ---------------------------------------------------------------------------------------------
// Commands

Status PhotoWorkflow::Rename() {
  const int index = list_.CurrentIndex();
  if (index < 0 || newName_.Length() > kMaxPhotoNameLength) {
    ShowErrorMessage(Context(), IDS_ERR_RENAME_PHOTO);
    return E_INVALID_INPUT;
  }
  CountedString name;
  LT_TRY(name.Assign(newName_));
  std::uint32_t number = naming_.number;
  const Status status = RenamePhoto(name, index, naming_.pattern, naming_.baseName, &number, false);
  if (Failed(status)) return status;
  naming_.number = number;

  const NamingSettings& settings = *services_.settings;
  const bool last = index == list_.Count() - 1;
  if (settings.fileCheckBeeps) {
    services_.sounds->Play(SystemSound::kExclamation, last);
    if (last) services_.sounds->Play(SystemSound::kDefault, true);
  }
  const int next = list_.NextVisible(index);
  if (settings.advanceAfterRename && next >= 0) {
    const PhotoEntry& renamed = list_.At(index);
    const std::uint16_t renamedPattern = PatternIndex(renamed);
    int renamedBase = list_.BaseNames().NoBaseNameIndex();
    if (renamed.baseNameLength > 0) {
      const int found = list_.BaseNames().Find(
          renamed.fileName.View().substr(renamed.baseNameStart, renamed.baseNameLength));
      if (found >= 0) renamedBase = found;
    }
    SelectPhoto(next);
    if ((list_.At(next).flags & kPhotoUnnamed) && settings.baseOnLast &&
        renamedPattern != kNoPatternIndex) {
      naming_.pattern = renamedPattern;
      if (Succeeded(ChooseFreeNumber(renamedBase, 0))) {
        naming_.pendingChange = true;
        naming_.automatic = true;
      }
    }
  }
  Fill(kRefreshPhotoBox | kRefreshBaseName);
  Refresh(kRefreshAll);
  return status;
}

Status PhotoWorkflow::RenameRemaining(int* renamed, bool confirm) {
  if (renamed != nullptr) *renamed = 0;
  const int start = list_.CurrentIndex();
  if (start < 0) return S_OK;
  CountedString name;
  LT_TRY(name.Assign(newName_));
  std::uint16_t pattern = naming_.pattern;
  int baseName = naming_.baseName;
  std::uint32_t number = naming_.number;
  LT_TRY(CheckNewName(name, start, &pattern, &baseName, &number, false));
  naming_.pattern = pattern;
  naming_.baseName = baseName;
  naming_.number = number;

  std::vector<int> targets;
  for (int i = start; i < list_.Count(); ++i) {
    if (list_.IsVisibleInMode(i)) targets.push_back(i);
  }
  const int count = static_cast<int>(targets.size());
  if (count > 1 && confirm) {
    std::uint16_t question = IDS_ASK_RENAME_ALL;
    if (list_.NavigationMode() == kNavigateUnnamed) question = IDS_ASK_RENAME_UNNAMED;
    if (list_.NavigationMode() == kNavigateNamed) question = IDS_ASK_RENAME_NAMED;
    CountedString countText;
    LT_TRY(FormatUInt32(countText, static_cast<std::uint32_t>(count)));
    if (AskYesNo(Context(), question, countText.CStr()) != IDYES) return E_CANCELLED;
  }

  int done = 0;
  inBatch_ = true;
  batchAnswer_ = 0;
  for (int index : targets) {
    if (Succeeded(RenamePhoto(name, index, pattern, baseName, &number, true))) ++done;
  }
  inBatch_ = false;
  batchAnswer_ = 0;
  if (renamed != nullptr) *renamed = done;
  naming_.pendingChange = naming_.typed = naming_.automatic = false;
  Fill(kRefreshAll);
  CountedString doneText;
  LT_TRY(FormatUInt32(doneText, static_cast<std::uint32_t>(done)));
  ShowInformation(Context(), done == 1 ? IDS_PHOTO_RENAMED : IDS_PHOTOS_RENAMED, doneText.CStr());
  return S_OK;
}

Status PhotoWorkflow::Delete() {
  const int index = list_.CurrentIndex();
  if (index < 0) return S_OK;
  if (AskYesNo(Context(), IDS_ASK_RECYCLE_PHOTO, list_.At(index).fileName.CStr()) != IDYES) {
    return E_CANCELLED;
  }
  services_.view->ReleasePreview();
  PathString path;
  Status status = BuildPath(list_.At(index).fileName.View(), path);
  if (Succeeded(status)) status = RecycleFile(*services_.files, path.View());
  if (Failed(status)) {
    if (status != E_CANCELLED) ShowErrorMessage(Context(), IDS_ERR_DELETE_PHOTO);
    Refresh(kRefreshPreview);
    return status;
  }
  const int count = list_.Count();
  int next = list_.NextVisible(index);
  if (next >= 0) {
    next -= 1;
  } else if (count > 1) {
    next = index == count - 1 ? index - 1 : index;
  } else {
    next = -1;
  }
  list_.SetCurrentIndex(-1);
  list_.RemoveAt(index);
  SelectPhoto(next);
  naming_.pendingChange = naming_.typed = naming_.automatic = false;
  Fill(kRefreshPhotoBox);
  Refresh(kRefreshAll);
  if (next >= 0 && next == list_.Count() - 1 && services_.settings->fileCheckBeeps) {
    services_.sounds->Play(SystemSound::kDefault, false);
  }
  return S_OK;
}

Status PhotoWorkflow::ChoosePattern(std::u16string_view name) {
  const int index = services_.catalogue->Find(name);
  if (index < 0 || index == naming_.pattern) return S_OK;
  if (naming_.typed && list_.CurrentIndex() >= 0) {
    PhotoEntry& photo = list_.At(list_.CurrentIndex());
    const PatternListView naming = PatternListView::Naming(*services_.catalogue);
    BestPattern reading;
    if (Succeeded(FindBestPattern(&naming, &photo, &newName_, &lookup_, &reading)) &&
        reading.index != kNoPatternMatched) {
      int base = list_.BaseNames().NoBaseNameIndex();
      bool added = false;
      if (reading.baseLength > 0 && reading.baseStart + reading.baseLength <= newName_.Length()) {
        LT_TRY(list_.BaseNames().Add(newName_.View().substr(reading.baseStart, reading.baseLength),
                                     &base, &added));
      }
      if (added) Fill(kRefreshBaseName);
      naming_.baseName = base;
      naming_.number = reading.number;
    }
  }
  naming_.pattern = static_cast<std::uint16_t>(index);
  services_.catalogue->SetDefaultIndex(static_cast<std::uint16_t>(index));
  MarkSettingsChanged();
  if (Succeeded(
          ChooseFreeNumber(naming_.baseName, SequenceStartOf(naming_.pattern, true, nullptr)))) {
    naming_.pendingChange = true;
    naming_.automatic = false;
  }
  Refresh(kRefreshAll);
  return S_OK;
}

void PhotoWorkflow::BaseNameTyped() {
  naming_.pendingChange = true;
  naming_.automatic = false;
  Refresh(kRefreshEnabling);
}

Status PhotoWorkflow::ChooseBaseName(std::u16string_view text, bool typed, bool enter) {
  int index = list_.BaseNames().NoBaseNameIndex();
  if (!text.empty()) {
    const Status added = list_.BaseNames().Add(text, &index);
    if (Failed(added)) {
      ShowErrorMessage(Context(), IDS_CONTROLS_NOT_UPDATED);
      return added;
    }
  }
  Status status = S_OK;
  if (index != naming_.baseName || typed) {
    status = ChooseFreeNumber(index, SequenceStartOf(naming_.pattern, true, nullptr));
    naming_.baseName = index;
    naming_.pendingChange = true;
    naming_.automatic = false;
    if (typed) Fill(kRefreshBaseName);
  }
  Refresh(kRefreshNewName | kRefreshEnabling | kRefreshBaseName);
  if (enter && Succeeded(status)) return Rename();
  return status;
}

void PhotoWorkflow::NewNameEdited(std::u16string_view text) {
  if (naming_.updating) return;
  if (Failed(newName_.Assign(text))) return;
  const int current = list_.CurrentIndex();
  if (current < 0 || (list_.At(current).flags & kPhotoUnnamed) == 0) {
    naming_.pendingChange = naming_.typed = true;
  } else {
    naming_.pendingChange = naming_.typed = !text.empty();
  }
  naming_.automatic = false;
  naming_.updating = true;
  services_.view->RefreshWindowState(kRefreshEnabling);
  naming_.updating = false;
}

Status PhotoWorkflow::AskBeforeLeaving() {
  if (!naming_.pendingChange || naming_.automatic) return S_OK;
  const int answer = AskRenameBeforeProceeding(Context());
  if (answer == IDCANCEL) return E_CANCELLED;
  if (answer != IDYES) return S_OK;
  CountedString name;
  LT_TRY(name.Assign(newName_));
  std::uint32_t number = naming_.number;
  const Status status =
      RenamePhoto(name, list_.CurrentIndex(), naming_.pattern, naming_.baseName, &number, false);
  Fill(kRefreshPhotoBox | kRefreshBaseName);
  // A rename that failed was reported; the person stays on the photo.
  return Failed(status) ? E_CANCELLED : S_OK;
}

Status PhotoWorkflow::Navigate(int target) {
  LT_TRY(AskBeforeLeaving());
  if (target >= 0) LT_TRY(SelectPhoto(target));
  Refresh(kRefreshAll);
  return S_OK;
}

Status PhotoWorkflow::GoFirst() {
  return Navigate(list_.FirstVisible());
}
Status PhotoWorkflow::GoPrevious() {
  return Navigate(list_.PreviousVisible(list_.CurrentIndex()));
}
Status PhotoWorkflow::GoNext() {
  return Navigate(list_.NextVisible(list_.CurrentIndex()));
}
Status PhotoWorkflow::GoLast() {
  return Navigate(list_.LastVisible());
}

Status PhotoWorkflow::ChoosePhoto(int index) {
  if (index == list_.CurrentIndex()) return S_OK;
  if (index < 0 || index >= list_.Count()) return E_INVALIDARG;
  return Navigate(index);
}

Status PhotoWorkflow::ChangeNavigationMode(std::uint32_t mode) {
  if (mode == list_.NavigationMode()) return S_OK;
  const std::uint32_t previous = list_.NavigationMode();
  list_.SetNavigationMode(mode);
  const int current = list_.CurrentIndex();
  int target = current;
  if (current >= 0 && !list_.IsVisibleInMode(current)) {
    target = list_.NextVisible(current);
    if (target < 0) target = list_.PreviousVisible(current);
    if (target < 0) target = current;
  }
  if (target != current) {
    const Status asked = AskBeforeLeaving();
    if (Failed(asked)) {
      list_.SetNavigationMode(previous);
      Refresh(kRefreshNavigation);
      return asked;
    }
    SelectPhoto(target);
  }
  services_.settings->fileNavigationMode = mode;
  MarkSettingsChanged();
  Refresh(kRefreshAll);
  return S_OK;
}

bool PhotoWorkflow::CanRename() const {
  return naming_.pendingChange && !list_.IsEmpty() && !newName_.IsEmpty();
}
bool PhotoWorkflow::CanGoFirst() const {
  const int first = list_.FirstVisible();
  return first >= 0 && first != list_.CurrentIndex();
}
bool PhotoWorkflow::CanGoPrevious() const {
  return list_.PreviousVisible(list_.CurrentIndex()) >= 0;
}
bool PhotoWorkflow::CanGoNext() const {
  return list_.NextVisible(list_.CurrentIndex()) >= 0;
}
bool PhotoWorkflow::CanGoLast() const {
  const int last = list_.LastVisible();
  return last >= 0 && last != list_.CurrentIndex();
}

}  // namespace lumatag
