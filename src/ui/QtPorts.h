// Qt implementations of the smaller ports: the folder chooser, the system sound and the opener of
// documents and links.
#pragma once

#include <QPointer>
#include <QUrl>
#include <functional>

#include "foundation/AppContext.h"
#include "ports/FileOperations.h"
#include "ports/SoundPlayer.h"
#include "ports/DocumentOpener.h"

class QFileDialog;
class QWidget;

namespace lumatag::ui {

// The folder choice: a folder dialog titled "Select a photo in the folder with the photos to be
// named" with the accept button "Select Folder", starting in the given folder.
class QtFolderChooser final : public FolderChooser {
 public:
  // Runs a built dialog and returns whether a folder was accepted; tests answer directly.
  using Runner = std::function<bool(QFileDialog& dialog)>;
  explicit QtFolderChooser(AppContext& context, Runner runner = {});
  void SetOwner(QWidget* owner) { owner_ = owner; }

  // The chosen folder with a trailing separator, or E_CANCELLED.
  Status Choose(std::u16string_view startFolder, std::u16string* folder) override;

 private:
  AppContext& context_;
  Runner runner_;
  QPointer<QWidget> owner_;
};

// Every system sound is the desktop's beep.
class QtSoundPlayer final : public SoundPlayer {
 public:
  void Play(SystemSound sound, bool wait) override;
};

// Hands http, https and file addresses to the desktop (QDesktopServices); refuses every other
// address.
class QtDocumentOpener final : public DocumentOpener {
 public:
  // Opens a checked address; true when the desktop accepted it. Tests record instead.
  using Launcher = std::function<bool(const QUrl& url)>;
  explicit QtDocumentOpener(Launcher launcher = {});

  Status OpenUrl(std::u16string_view url) override;
  Status OpenDocument(std::u16string_view path) override;

  // Whether an address may be handed to the desktop.
  static bool IsAllowed(const QUrl& url);

 private:
  Status Launch(const QUrl& url);
  Launcher launcher_;
};

}  // namespace lumatag::ui
