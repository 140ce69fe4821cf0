// A scan lists the folder by names and takes each photo's file date from the file it opens, or asks
// for it by name when the file cannot be opened. Its list must be the list of a scan that asks for
// every file's details while listing: same photos, dates, metadata and classification, whatever
// the folder holds.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "metadata/PhotoMetadataReader.h"
#include "platform/linux/PosixReadableFile.h"
#include "workflow/WorkflowTestSupport.h"

namespace lumatag {
namespace {

// The platform's listing with every file's details, as a port without a listing of names has it.
class FullListingFiles final : public FileOperations {
 public:
  Status OpenListing(std::u16string_view folder, std::unique_ptr<FolderListing>* listing) override {
    return real_.OpenListing(folder, listing);
  }
  Status Move(std::u16string_view, std::u16string_view, bool) override { return E_NOTIMPL; }
  Status Recycle(std::u16string_view) override { return E_NOTIMPL; }

 private:
  LinuxFileOperations real_;
};

// Files that cannot be opened, as photos locked by another program or not readable by the user.
class UnopenableFiles final : public ReadableFileSystem {
 public:
  Status OpenForReading(std::u16string_view, std::unique_ptr<ReadableFile>* file) const override {
    file->reset();
    return E_ACCESS_DENIED;
  }
};

// Every other photo cannot be opened; files are read on as many threads as the scan likes.
class HalfOpenableFiles final : public ReadableFileSystem {
 public:
  Status OpenForReading(std::u16string_view path,
                        std::unique_ptr<ReadableFile>* file) const override {
    if (Refused(path)) return E_ACCESS_DENIED;
    return PlatformReadableFileSystem().OpenForReading(path, file);
  }
  Status OpenFolder(std::u16string_view folder,
                    std::unique_ptr<ReadableFolder>* opened) const override {
    // Files open by their paths, through OpenForReading above.
    return ReadableFileSystem::OpenFolder(folder, opened);
  }
  bool ReadsInParallel() const override { return true; }

 private:
  static bool Refused(std::u16string_view path) {
    const std::size_t dot = path.rfind(u'.');
    return dot != std::u16string_view::npos && dot > 0 && (path[dot - 1] - u'0') % 2 == 1;
  }
};

class ScanListingTest : public WorkflowTest {
 protected:
  void SetUp() override {
    AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00");
    AddPhoto("IMG_0002.JPG", "");  // ordered by its file date
    AddPhoto("Trip #001.JPG", "2013:05:01 09:00:00");
    AddPhoto(std::string("caf\xE9 #002.JPG"), "");  // a name that is not UTF-8
    AddFile("broken.jpg", "not a photo");
    AddFile("notes.txt", "not a photo either");
    std::filesystem::create_directories(dir_.File("folder.jpg"));
    ASSERT_EQ(mkfifo(dir_.File("fifo.jpg").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir_.File("IMG_0001.JPG"), dir_.File("link #003.JPG"));
    std::filesystem::create_symlink(dir_.File("gone.jpg"), dir_.File("dangling.jpg"));
    ASSERT_OK(BuildQuickPassFilter(&tags_, {}));
  }

  ScanOutcome RunScan(FileOperations& files, const ReadableFileSystem& readable, int readers = 0) {
    ScanJob job;
    EXPECT_OK(job.Prepare(context_, files, readable, catalogue_, extensions_, tags_,
                          Utf8ToUtf16(dir_.path())));
    ScanControl control;
    control.readers = readers;
    return job.Run(control);
  }

  // Many photos of few dates, so that the order between them comes from their names: camera
  // names, names a pattern made (with base names) and others.
  void AddManyPhotos() {
    for (int i = 0; i < 300; ++i) {
      char name[40];
      char taken[24];
      if (i % 3 == 0) {
        std::snprintf(name, sizeof name, "DSC_%04d.JPG", 300 - i);
      } else if (i % 3 == 1) {
        std::snprintf(name, sizeof name, "%s #%03d.JPG", i % 2 == 0 ? "Trip" : "trip", i);
      } else {
        std::snprintf(name, sizeof name, "holiday %d.jpg", i);
      }
      std::snprintf(taken, sizeof taken, "2013:05:0%d 10:00:00", 1 + i % 4);
      AddPhoto(name, i % 7 == 0 ? "" : taken);
    }
  }

  static std::vector<std::string> BaseNames(const ScanOutcome& outcome) {
    std::vector<std::string> names;
    for (int i = 0; i < outcome.list.BaseNames().Count(); ++i) {
      names.push_back(Utf16ToUtf8(outcome.list.BaseNames().At(i)));
    }
    return names;
  }

  // Everything a scan gives a photo, as text.
  static std::string Describe(const PhotoEntry& photo) {
    const SystemTime& d = photo.fileDate;
    const SystemTime taken = GetPictureTakenDate(photo);
    char text[256];
    std::snprintf(text, sizeof text,
                  "%04u-%02u-%02u %02u:%02u:%02u.%03u %u/%04u-%02u-%02u %02u:%02u:%02u "
                  "flags %x pattern %u base %u+%u number %u tags %d",
                  d.year, d.month, d.day, d.hour, d.minute, d.second, d.milliseconds, d.dayOfWeek,
                  taken.year, taken.month, taken.day, taken.hour, taken.minute, taken.second,
                  photo.flags, photo.patternIndex, photo.baseNameStart, photo.baseNameLength,
                  photo.number, photo.metadata.Count());
    return Utf16ToUtf8(photo.fileName.View()) + " " + text;
  }

  static std::vector<std::string> Describe(const ScanOutcome& outcome) {
    std::vector<std::string> lines;
    for (int i = 0; i < outcome.list.Count(); ++i) lines.push_back(Describe(outcome.list.At(i)));
    return lines;
  }

  TagFilter tags_;
  LinuxFileOperations platformFiles_;
  FullListingFiles fullListing_;
};

TEST_F(ScanListingTest, ListingByNamesGivesTheListOfAFullListing) {
  const ScanOutcome byNames = RunScan(platformFiles_, PlatformReadableFileSystem());
  const ScanOutcome full = RunScan(fullListing_, PlatformReadableFileSystem());
  ASSERT_OK(byNames.status);
  ASSERT_OK(full.status);
  EXPECT_EQ(byNames.somePhotosNotListed, full.somePhotosNotListed);
  // The photos, the link to one and the file that is not a photo; not the folder, the FIFO or the
  // dangling link.
  ASSERT_EQ(full.list.Count(), 6);
  EXPECT_EQ(Describe(byNames), Describe(full));
  for (int i = 0; i < byNames.list.Count(); ++i) {
    EXPECT_GT(byNames.list.At(i).fileDate.year, 2000) << Describe(byNames.list.At(i));
  }
}

TEST_F(ScanListingTest, PhotosThatCannotBeOpenedKeepTheirFileDates) {
  const UnopenableFiles unopenable;
  const ScanOutcome byNames = RunScan(platformFiles_, unopenable);
  const ScanOutcome full = RunScan(fullListing_, unopenable);
  ASSERT_OK(byNames.status);
  ASSERT_EQ(full.list.Count(), 6);
  EXPECT_EQ(Describe(byNames), Describe(full));
  for (int i = 0; i < byNames.list.Count(); ++i) {
    EXPECT_EQ(byNames.list.At(i).metadata.Count(), 0);
    EXPECT_GT(byNames.list.At(i).fileDate.year, 2000) << Describe(byNames.list.At(i));
  }
}

TEST_F(ScanListingTest, ReadingOnSeveralThreadsGivesTheListOfOne) {
  AddManyPhotos();
  const HalfOpenableFiles halfOpenable;
  // The platform's files, and files of which half must be dated by name, by the listing (on the
  // scanning thread, also after the listing has ended).
  for (const ReadableFileSystem* readable :
       {&PlatformReadableFileSystem(), static_cast<const ReadableFileSystem*>(&halfOpenable)}) {
    const ScanOutcome one = RunScan(platformFiles_, *readable, 1);
    ASSERT_OK(one.status);
    ASSERT_EQ(one.list.Count(), 306);
    for (int readers : {2, 4}) {
      const ScanOutcome many = RunScan(platformFiles_, *readable, readers);
      ASSERT_OK(many.status);
      EXPECT_EQ(many.somePhotosNotListed, one.somePhotosNotListed);
      EXPECT_EQ(Describe(many), Describe(one)) << readers << " readers";
      EXPECT_EQ(BaseNames(many), BaseNames(one));
      EXPECT_EQ(many.list.UnnamedCount(), one.list.UnnamedCount());
    }
  }
}

TEST_F(ScanListingTest, ACancelWhileSeveralThreadsReadStopsCleanly) {
  AddManyPhotos();
  for (int stopAt : {1, 2, 70, 250, 306}) {
    ScanJob job;
    ASSERT_OK(job.Prepare(context_, platformFiles_, PlatformReadableFileSystem(), catalogue_,
                          extensions_, tags_, Utf8ToUtf16(dir_.path())));
    std::atomic<bool> cancel{false};
    ScanControl control;
    control.readers = 3;
    control.cancel = &cancel;
    control.progressInterval = std::chrono::steady_clock::duration::zero();
    control.progress = [&](const ScanProgress& progress) {
      if (progress.photosFound >= stopAt) cancel = true;
    };
    const ScanOutcome outcome = job.Run(control);
    EXPECT_STATUS(E_CANCELLED, outcome.status) << stopAt;
    EXPECT_EQ(outcome.list.Count(), 0) << stopAt;
  }
}

}  // namespace
}  // namespace lumatag
