// Qt versions of the message, sound and folder-choice ports, kept small until the shared Qt layer
// provides its own; the shell only reaches them through the port interfaces.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "ports/FileOperations.h"
#include "ports/MessagePresenter.h"
#include "ports/SoundPlayer.h"

namespace lumatag::shell {

// Message boxes over QMessageBox; boxes the main window owns are modal to it.
class QtMessagePresenter final : public MessagePresenter {
 public:
  explicit QtMessagePresenter(std::function<QWidget*()> owner) : owner_(std::move(owner)) {}
  int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
           bool owned) override;
  int AskChoice(std::u16string_view text, std::u16string_view title,
                std::span<const Choice> choices, bool owned) override;

 private:
  std::function<QWidget*()> owner_;
};

// The desktop's beep for every sound.
class QtSoundPlayer final : public SoundPlayer {
 public:
  void Play(SystemSound sound, bool wait) override;
};

// The folder choice through Qt's own (non-native) file dialog: the person picks a photo in the
// folder; entering a folder puts its first file in the name box so "Select Folder" works at once.
// Without a file in the folder the person can still confirm the folder itself.
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
