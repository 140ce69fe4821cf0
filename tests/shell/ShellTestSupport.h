// The desktop shell started as the program starts it, under the offscreen platform, with its
// settings and photos in a temporary folder, scripted message boxes, recorded sounds, a scripted
// folder choice and a recycle bin in the test folder.
#pragma once

#include <QApplication>
#include <QImage>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/RecordingSoundPlayer.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "platform/linux/HiveRegistryStore.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxStandardFolders.h"
#include "shell/MainWindow.h"
#include "shell/ShellApplication.h"
#include "support/TestSupport.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QAbstractButton;

namespace lumatag::shell {

class ScriptedFolderChooser final : public FolderChooser {
 public:
  Status Choose(std::u16string_view startFolder, std::u16string* folder) override;
  std::u16string answer;  // empty: cancelled
  std::vector<std::u16string> starts;
  std::function<void()> whileOpen;
};

class TrashFileOperations final : public FileOperations {
 public:
  explicit TrashFileOperations(std::string trash) : trash_(std::move(trash)) {}
  Status OpenListing(std::u16string_view folder, std::unique_ptr<FolderListing>* listing) override;
  Status Move(std::u16string_view from, std::u16string_view to, bool replaceExisting) override {
    return real_.Move(from, to, replaceExisting);
  }
  Status Recycle(std::u16string_view path) override;
  std::vector<std::string> recycled;
  // Called on the scanning thread before each folder entry is listed.
  std::function<void()> beforeEntry;

 private:
  LinuxFileOperations real_;
  std::string trash_;
};

// Writes a camera-like JPEG without a decodable picture, taken at `taken` ("YYYY:MM:DD hh:mm:ss").
void WriteCameraPhoto(const std::string& path, const std::string& taken);
// Writes a JPEG with a real picture and the given Orientation.
void WritePicturePhoto(const std::string& path, const QImage& picture, int orientation);

class ShellTest : public testing::Test {
 protected:
  static void SetUpTestSuite();

  ShellTest();
  ~ShellTest() override;

  std::string PhotoPath(const std::string& name) const { return photos_ + "/" + name; }
  // Photos taken a minute apart in the order given.
  void AddPhotos(const std::vector<std::string>& names);
  // The settings file: working folder (empty: none), navigation mode.
  void WriteSettings(const std::string& folder, int mode = 0, const std::string& extra = "");
  // The platform pieces every start gets, the settings in the test folder.
  ShellPorts BasePorts();
  // Starts the shell and shows its window; false when start-up failed.
  bool Start();

  MainWindow& Window() { return *shell_->Window(); }
  QWidget* Control(int number) { return Window().Control(number); }
  QComboBox* Box(int number);
  QLabel* Label(int number);
  QLineEdit* NewNameBox();
  QAbstractButton* Button(int number);
  std::u16string LastMessage() const;
  bool FileExists(const std::string& name) const;

  TempDir dir_;
  std::string photos_;
  ScriptedMessagePresenter presenter_;
  RecordingSoundPlayer sounds_;
  ScriptedFolderChooser chooser_;
  std::unique_ptr<TrashFileOperations> files_;
  std::unique_ptr<HiveRegistryStore> registry_;
  LinuxStandardFolders folders_;
  std::vector<QUrl> opened_;
  // The dialogs the next Start gives the shell.
  ShellDialogs dialogs_;
  std::unique_ptr<ShellApplication> shell_;
};

}  // namespace lumatag::shell
