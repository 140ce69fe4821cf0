// A photo workflow over a real temporary folder: built-in patterns, the default extension list,
// scripted message boxes, recorded sounds and a view that records what it was asked to do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "application/Application.h"
#include "foundation/AppContext.h"
#include "patterns/PatternCatalogue.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "platform/fake/RecordingSoundPlayer.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxFolderLock.h"
#include "support/TestSupport.h"
#include "workflow/PhotoWorkflow.h"

namespace lumatag {

class RecordingView final : public WorkflowView {
 public:
  void RefreshWindowState(std::uint32_t mask) override { refreshed |= mask; }
  void FillBoxes(std::uint32_t mask) override { filled |= mask; }
  void ReleasePreview() override { ++releases; }
  void SetWaitCursor(bool waiting) override { waits.push_back(waiting); }
  ScanOutcome RunScan(const ScanJob& job, const ScanControl& control) override {
    if (duringScan) duringScan();
    if (cancelScans) return ScanOutcome{E_CANCELLED, false, {}};
    return job.Run(control);
  }
  std::function<void()> duringScan;
  bool cancelScans = false;
  std::uint32_t refreshed = 0;
  std::uint32_t filled = 0;
  int releases = 0;
  std::vector<bool> waits;
};

// The platform's file operations, except that recycled files go into a test folder rather than
// the desktop's trash.
class TestFileOperations final : public FileOperations {
 public:
  explicit TestFileOperations(std::string trash) : trash_(std::move(trash)) {}
  Status OpenListing(std::u16string_view folder, std::unique_ptr<FolderListing>* listing) override {
    return real_.OpenListing(folder, listing);
  }
  Status Move(std::u16string_view from, std::u16string_view to, bool replaceExisting) override;
  Status Recycle(std::u16string_view path) override;
  std::vector<std::string> recycled;
  // A move onto a file of this name fails (as a full disk or a locked file would make it).
  std::string failMoveTo;
  // When set, every move fails with it (a read-only folder, a name the file system refuses).
  Status moveFailure = S_OK;

 private:
  LinuxFileOperations real_;
  std::string trash_;
};

// No pictures folder: a fresh start has no working folder until the test gives it one.
class NoPicturesFolder final : public StandardFolders {
 public:
  Status PicturesFolder(std::u16string*) override { return E_PATH_NOT_FOUND; }
};

class WorkflowTest : public testing::Test {
 protected:
  WorkflowTest();

  // Writes a JPEG whose DateTimeOriginal is `taken` ("YYYY:MM:DD HH:MM:SS"; empty: none).
  void AddPhoto(const std::string& name, const std::string& taken,
                const std::string& extraContent = "");
  void AddFile(const std::string& name, const std::string& content);
  bool Exists(const std::string& name) const;
  std::string Content(const std::string& name) const;
  // The file names of the folder, sorted.
  std::vector<std::string> Files() const;
  // Scans the folder.
  void Scan();
  // The file names of the list, in list order.
  std::vector<std::string> ListNames() const;
  int PatternIndex(const std::u16string& definition) const;
  // Makes a pattern current by its definition (as the pattern box would, by name).
  void ChooseDefinition(const std::u16string& definition);
  std::u16string ShownText(std::size_t i) const;

  TempDir dir_;
  ScriptedMessagePresenter presenter_;
  TempDir trash_;
  TestFileOperations files_{trash_.path()};
  RecordingSoundPlayer sounds_;
  RecordingView view_;
  MemoryRegistryStore registry_;
  NoPicturesFolder folders_;
  LinuxFolderLocker folderLocks_;
  // The application host over the fakes above, loaded from an empty settings store.
  Application app_;
  AppContext& context_;
  PatternCatalogue& catalogue_;
  ExtensionList& extensions_;
  NamingSettings& settings_;
  WorkflowServices services_;
  PhotoWorkflow* workflow_ = nullptr;
};

}  // namespace lumatag
