// A folder's files opened by name relative to the folder held open, and the listing of names that
// leaves each file's details to be asked for later: both must see exactly what the full listing
// and opening by path see, in a folder holding everything a folder can hold.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/PosixReadableFile.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

void Write(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Every entry of a listing by name; entries whose details were left out get them asked for.
std::map<std::u16string, FolderEntry> List(FileOperations& files, const std::string& folder,
                                           bool namesOnly) {
  std::map<std::u16string, FolderEntry> entries;
  std::unique_ptr<FolderListing> listing;
  const std::u16string path = FromNativePath(folder);
  if (Failed(namesOnly ? files.OpenNameListing(path, &listing) : files.OpenListing(path, &listing)))
    return entries;
  FolderEntry entry;
  while (Succeeded(listing->Next(&entry))) {
    EXPECT_OK(listing->Details(&entry)) << Utf16ToUtf8(entry.name);
    entries[entry.name] = entry;
  }
  return entries;
}

Status ReadAll(ReadableFile& file, std::string* content) {
  char buffer[256];
  std::uint32_t got = 0;
  content->clear();
  do {
    LT_TRY(file.Read(buffer, sizeof buffer, &got));
    content->append(buffer, got);
  } while (got > 0);
  return S_OK;
}

class FolderFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    Write(dir_.File("real.jpg"), "photo");
    Write(dir_.File(odd_), "odd photo");
    std::filesystem::create_directories(dir_.File("sub.jpg"));
    ASSERT_EQ(mkfifo(dir_.File("fifo.jpg").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir_.File("real.jpg"), dir_.File("link-to-real.jpg"));
    std::filesystem::create_symlink(dir_.File("fifo.jpg"), dir_.File("link-to-fifo.jpg"));
    std::filesystem::create_symlink(dir_.File("sub.jpg"), dir_.File("link-to-sub.jpg"));
    std::filesystem::create_symlink(dir_.File("missing.jpg"), dir_.File("dangling.jpg"));
  }

  const std::string odd_ = std::string("caf\xE9.jpg");  // Latin-1, not UTF-8
  TempDir dir_;
  LinuxFileOperations files_;
};

TEST_F(FolderFilesTest, ListingNamesGivesTheEntriesAndDetailsOfTheFullListing) {
  const std::map<std::u16string, FolderEntry> full = List(files_, dir_.path(), false);
  const std::map<std::u16string, FolderEntry> names = List(files_, dir_.path(), true);
  ASSERT_EQ(full.size(), 5u);  // real, odd, sub, link-to-real, link-to-sub
  ASSERT_EQ(names.size(), full.size());
  for (const auto& [name, entry] : full) {
    SCOPED_TRACE(Utf16ToUtf8(name));
    ASSERT_EQ(names.count(name), 1u);
    const FolderEntry& other = names.at(name);
    EXPECT_EQ(other.folder, entry.folder);
    EXPECT_EQ(other.creationTime, entry.creationTime);
    EXPECT_EQ(other.lastWriteTime, entry.lastWriteTime);
    EXPECT_EQ(other.size, entry.size);
    // The bytes of the name as the folder spells them, for opening without a conversion.
    EXPECT_EQ(other.nativeName, ToNativePath(name));
  }
  EXPECT_EQ(names.at(u"link-to-real.jpg").size, 5u);
  EXPECT_TRUE(names.at(u"link-to-sub.jpg").folder);

  // A file that goes after it was listed: its details are not found.
  std::unique_ptr<FolderListing> listing;
  ASSERT_OK(files_.OpenNameListing(FromNativePath(dir_.path()), &listing));
  FolderEntry entry;
  while (Succeeded(listing->Next(&entry)) && entry.name != u"real.jpg") {
  }
  ASSERT_EQ(entry.name, u"real.jpg");
  ASSERT_EQ(unlink(dir_.File("real.jpg").c_str()), 0);
  // (A file system that does not tell types in its listing gave the details at once.)
  if (!entry.detailsKnown) {
    EXPECT_STATUS(E_FILE_NOT_FOUND, listing->Details(&entry));
  }
}

TEST_F(FolderFilesTest, FilesOpenedInTheFolderAreTheFilesOfTheirPaths) {
  const ReadableFileSystem& system = PlatformReadableFileSystem();
  std::unique_ptr<ReadableFolder> folder;
  ASSERT_OK(system.OpenFolder(FromNativePath(dir_.path()), &folder));
  const std::map<std::u16string, FolderEntry> listed = List(files_, dir_.path(), false);
  for (const std::string name : {"real.jpg", "link-to-real.jpg", "fifo.jpg", "link-to-fifo.jpg",
                                 "sub.jpg", "dangling.jpg", "missing.jpg", odd_.c_str()}) {
    SCOPED_TRACE(name);
    const std::u16string name16 = FromNativePath(name);
    std::unique_ptr<ReadableFile> byPath;
    const Status pathStatus = system.OpenForReading(FromNativePath(dir_.File(name)), &byPath);
    // By the name alone, and by the name with its bytes as listed: the same outcome either way.
    for (const std::string& native : {std::string(), name}) {
      std::unique_ptr<ReadableFile> inFolder;
      const Status status = folder->OpenForReading(name16, native, &inFolder);
      EXPECT_STATUS(pathStatus, status);
      if (Failed(status)) continue;
      std::string a;
      std::string b;
      ASSERT_OK(ReadAll(*byPath, &a));
      ASSERT_OK(ReadAll(*inFolder, &b));
      EXPECT_EQ(b, a);
      ASSERT_OK(byPath->Seek(0));
      // The details that came with the opening are those a listing gives.
      FileTime created = 0;
      FileTime written = 0;
      std::uint64_t size = 0;
      ASSERT_OK(inFolder->OpenedDetails(&created, &written, &size));
      const FolderEntry& entry = listed.at(name16);
      EXPECT_EQ(created, entry.creationTime);
      EXPECT_EQ(written, entry.lastWriteTime);
      EXPECT_EQ(size, entry.size);
      FileTime lastWrite = 0;
      ASSERT_OK(inFolder->LastWriteTime(&lastWrite));
      EXPECT_EQ(lastWrite, written);
    }
  }

  // A folder that cannot be opened fails at each file as its paths would.
  std::unique_ptr<ReadableFolder> missing;
  ASSERT_OK(system.OpenFolder(FromNativePath(dir_.File("nowhere")), &missing));
  std::unique_ptr<ReadableFile> file;
  std::unique_ptr<ReadableFile> byPath;
  EXPECT_STATUS(system.OpenForReading(FromNativePath(dir_.File("nowhere/real.jpg")), &byPath),
                missing->OpenForReading(u"real.jpg", "", &file));
}

}  // namespace
}  // namespace lumatag
