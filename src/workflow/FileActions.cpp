#include "workflow/FileActions.h"

#include "foundation/Path.h"

namespace lumatag {

MoveResult MoveFileTo(AppContext& context, FileOperations& files, std::u16string_view from,
                      std::u16string_view to) {
  MoveResult result;
  result.status = files.Move(from, to, false);
  if (Succeeded(result.status)) {
    result.moved = true;
    return result;
  }
  if (result.status != E_FILE_EXISTS && result.status != E_ALREADY_EXISTS) return result;
  const Status firstFailure = result.status;

  // The question is a dialog of its own, not a message box, so a long path does not keep it from
  // being shown.
  const StringModule& module = *context.resourceModule;
  CountedString question;
  CountedString title;
  CountedString labels[5];
  constexpr std::uint16_t kLabelIds[5] = {IDS_BTN_YES, IDS_BTN_YES_TO_ALL, IDS_BTN_NO,
                                          IDS_BTN_NO_TO_ALL, IDS_BTN_CANCEL};
  constexpr int kAnswers[5] = {IDYES, kAnswerYesToAll, IDNO, kAnswerNoToAll, IDCANCEL};
  bool prepared = Succeeded(LoadString(module, IDS_OVERWRITE_QUESTION, question)) &&
                  Succeeded(SubstitutePlaceholder(question, 1, to)) &&
                  Succeeded(LoadString(module, IDS_OVERWRITE_TITLE, title));
  Choice choices[5];
  for (int i = 0; i < 5 && prepared; ++i) {
    prepared = Succeeded(LoadString(module, kLabelIds[i], labels[i]));
    choices[i] = {labels[i].View(), kAnswers[i]};
  }
  int answer = IDNO;
  if (prepared && context.presenter != nullptr) {
    const int previous = context.activityState;
    context.activityState = kActivityMessageBox;
    answer = context.presenter->AskChoice(question.View(), title.View(), choices,
                                          context.mainWindowVisible);
    context.activityState = previous;
    if (answer == 0) answer = IDNO;
  }
  result.answer = answer;
  switch (answer) {
    case IDYES:
    case kAnswerYesToAll:
      result.status = ReplaceFile(files, from, to);
      result.moved = Succeeded(result.status);
      break;
    case IDNO:
    case kAnswerNoToAll:
      result.status = S_OK;
      break;
    case IDCANCEL:
      result.status = E_CANCELLED;
      break;
    default:
      result.status = firstFailure;
  }
  return result;
}

Status ReplaceFile(FileOperations& files, std::u16string_view from, std::u16string_view to) {
  // Replacing in one step would destroy the old file; no answer to a question should lose a photo.
  LT_TRY(RecycleFile(files, to));
  return files.Move(from, to, false);
}

Status RecycleFile(FileOperations& files, std::u16string_view path) {
  if (FindLastPathSeparator(path) < 0 && path.find(u':') == std::u16string_view::npos) {
    return E_INVALID_INPUT;
  }
  return files.Recycle(path);
}

Status ChooseFolder(FolderChooser& chooser, std::u16string_view workingFolder,
                    std::u16string_view lastChosen, std::u16string* folder) {
  std::u16string chosen;
  LT_TRY(chooser.Choose(workingFolder.empty() ? lastChosen : workingFolder, &chosen));
  if (chosen.empty()) return E_FAIL;
  if (chosen.back() != kPathSeparator) chosen += kPathSeparator;
  *folder = std::move(chosen);
  return S_OK;
}

}  // namespace lumatag
