// The application host as the workflow benchmarks run it: the real file system, settings in
// memory, no Pictures folder, no sounds, and every question answered Yes.
#pragma once

#include <cstdlib>
#include <string>

#include "application/Application.h"
#include "foundation/CountedString.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "platform/linux/IcuTextComparer.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxJournalStore.h"
#include "platform/linux/PosixReadableFile.h"

namespace lumatag::bench {

class QuietPresenter final : public MessagePresenter {
 public:
  int Show(std::u16string_view, std::u16string_view, std::uint32_t flags, bool) override {
    return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDYES;
  }
};

class NoSound final : public SoundPlayer {
 public:
  void Play(SystemSound, bool) override {}
};

class NoPictures final : public StandardFolders {
 public:
  Status PicturesFolder(std::u16string*) override { return E_PATH_NOT_FOUND; }
};

// The host loaded with `folder` as its working folder; `configure` may change the naming settings
// before the workflow is made. With a `journalFolder` the renames are written to a rename journal
// kept there. Any failure ends the benchmark: it would time something else.
struct Program {
  explicit Program(const std::string& folder, void (*configure)(NamingSettings&) = nullptr,
                   const std::string& journalFolder = "")
      : journalStore(journalFolder), app(Ports(!journalFolder.empty())) {
    if (Failed(app.Load()) || Failed(app.Naming().imageFolder.Assign(Utf8ToUtf16(folder)))) {
      std::abort();
    }
    if (configure != nullptr) configure(app.Naming());
    if (Failed(app.CreateWorkflow(view))) std::abort();
  }
  ApplicationPorts Ports(bool journal) {
    ApplicationPorts ports;
    if (journal) ports.journal = &journalStore;
    ports.registry = &registry;
    ports.files = &files;
    ports.readableFiles = &PlatformReadableFileSystem();
    ports.folders = &folders;
    ports.sounds = &sounds;
    ports.presenter = &presenter;
    ports.textComparer = &PlatformTextComparer();
    return ports;
  }
  PhotoWorkflow& Workflow() { return app.Workflow(); }

  QuietPresenter presenter;
  MemoryRegistryStore registry;
  LinuxFileOperations files;
  NoPictures folders;
  NoSound sounds;
  NullWorkflowView view;
  LinuxJournalStore journalStore;
  Application app;
};

}  // namespace lumatag::bench
