#include "workflow/WorkingFolder.h"

#include "foundation/CountedString.h"
#include "workflow/FolderLister.h"

namespace lumatag {

void PicturesFolderRule::Apply(Status readStatus, CountedString& folder) {
  if (Succeeded(readStatus) && !folder.IsEmpty() && FolderExists(files_, folder.View())) return;
  std::u16string pictures;
  // Paths are kept in fixed 272-character buffers: a longer pictures folder cannot be used.
  if (Failed(folders_.PicturesFolder(&pictures)) || pictures.empty() ||
      static_cast<int>(pictures.size()) > kPathCapacity || Failed(folder.Assign(pictures))) {
    folder.Truncate(0);
  }
}

}  // namespace lumatag
