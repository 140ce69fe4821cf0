#include "platform/linux/LinuxStandardFolders.h"

#include <QStandardPaths>
#include <QString>

namespace lumatag {

Status LinuxStandardFolders::PicturesFolder(std::u16string* folder) {
  const QString path = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (path.isEmpty()) return E_PATH_NOT_FOUND;
  folder->assign(reinterpret_cast<const char16_t*>(path.utf16()),
                 static_cast<std::size_t>(path.size()));
  return S_OK;
}

}  // namespace lumatag
