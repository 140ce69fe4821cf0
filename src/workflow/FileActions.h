// The workflow's file actions: renaming a photo with the overwrite question, moving a photo to the
// recycle bin, and choosing the working folder.
#pragma once

#include <string>
#include <string_view>

#include "foundation/AppContext.h"
#include "ports/FileOperations.h"
#include "ports/MessagePresenter.h"

namespace lumatag {

// Answers of the overwrite question besides IDYES, IDNO and IDCANCEL.
inline constexpr int kAnswerYesToAll = 32000;
inline constexpr int kAnswerNoToAll = 32001;

struct MoveResult {
  Status status = S_OK;
  bool moved = false;  // false when the person declined to overwrite (the status is then S_OK)
  int answer = 0;      // the overwrite question's answer, 0 when it was not asked
};

// Moves (renames) `from` to `to`. When `to` exists the person is asked whether to overwrite it:
// Yes or Yes to All replace it (the replaced file goes to the recycle bin first), No or No to All
// leave both files untouched and succeed with `moved` false, Cancel gives E_CANCELLED. A question
// that cannot be shown counts as No.
MoveResult MoveFileTo(AppContext& context, FileOperations& files, std::u16string_view from,
                      std::u16string_view to);

// Replaces `to` by `from` without destroying `to`: `to` is moved to the recycle bin first, then
// `from` takes its place without replacing anything. When the recycle bin cannot take the file,
// nothing is moved and its failure is returned; when another file appears at `to` meanwhile, the
// move fails with E_FILE_EXISTS.
Status ReplaceFile(FileOperations& files, std::u16string_view from, std::u16string_view to);

// Moves a file to the recycle bin. A path without a folder part is refused with E_INVALID_INPUT
// before the file system is asked.
Status RecycleFile(FileOperations& files, std::u16string_view path);

// Offers the folder choice, starting at the working folder when there is one, else at the folder
// chosen last time (`lastChosen`). On success `folder` holds the chosen folder with a trailing
// separator; the caller stores it as the next start folder. E_CANCELLED when the person cancels.
Status ChooseFolder(FolderChooser& chooser, std::u16string_view workingFolder,
                    std::u16string_view lastChosen, std::u16string* folder);

}  // namespace lumatag
