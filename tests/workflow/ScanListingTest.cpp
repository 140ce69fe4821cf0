// A scan lists the folder by names and takes each photo's file date from the file it opens, or asks
// for it by name when the file cannot be opened. Its list must be the list of a scan that asks for
// every file's details while listing: same photos, dates, metadata and classification, whatever
// the folder holds.
#include <sys/stat.h>
#include <unistd.h>

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

  ScanOutcome RunScan(FileOperations& files, const ReadableFileSystem& readable) {
    ScanJob job;
    EXPECT_OK(job.Prepare(context_, files, readable, catalogue_, extensions_, tags_,
                          Utf8ToUtf16(dir_.path())));
    return job.Run();
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

}  // namespace
}  // namespace lumatag
