// The folder choice through Qt's own file dialog, with the first file of an entered folder put in
// the name box (the shared Qt layer's chooser does not do that yet); reached only through the
// FolderChooser port.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "ports/FileOperations.h"

namespace lumatag::shell {

// The folder choice through Qt's own (non-native) file dialog: the person picks a photo in the
// folder; entering a folder puts its first file in the name box so "Select Folder" works at once.
class QtFolderChooser final : public FolderChooser {
 public:
  QtFolderChooser(std::function<QWidget*()> owner, std::u16string title, std::u16string okLabel,
                  std::u16string fileLabel)
      : owner_(std::move(owner)),
        title_(std::move(title)),
        okLabel_(std::move(okLabel)),
        fileLabel_(std::move(fileLabel)) {}
  Status Choose(std::u16string_view startFolder, std::u16string* folder) override;

 private:
  std::function<QWidget*()> owner_;
  std::u16string title_;
  std::u16string okLabel_;
  std::u16string fileLabel_;
};

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}

}  // namespace lumatag::shell
