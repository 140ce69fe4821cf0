// The Linux file operations and readable files in folders prepared by someone else: special files
// named like photos, names that are not UTF-8.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/PosixReadableFile.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

void Write(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::vector<FolderEntry> List(FileOperations& files, const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::unique_ptr<FolderListing> listing;
  if (Failed(files.OpenListing(FromNativePath(folder), &listing))) return entries;
  FolderEntry entry;
  while (Succeeded(listing->Next(&entry))) entries.push_back(entry);
  return entries;
}

// The whole content of a file opened through the readable file port.
Status ReadAll(std::u16string_view path, std::string* content) {
  std::unique_ptr<ReadableFile> file;
  LT_TRY(PlatformReadableFileSystem().OpenForReading(path, &file));
  char buffer[256];
  std::uint32_t got = 0;
  content->clear();
  do {
    LT_TRY(file->Read(buffer, sizeof buffer, &got));
    content->append(buffer, got);
  } while (got > 0);
  return S_OK;
}

class HostileFolderTest : public testing::Test {
 protected:
  std::u16string U(const std::string& name) const { return FromNativePath(dir_.File(name)); }
  TempDir dir_;
  LinuxFileOperations files_;
};

TEST_F(HostileFolderTest, OnlyRegularFilesArePhotosAndOpeningNeverWaits) {
  Write(dir_.File("real.jpg"), "photo");
  ASSERT_EQ(mkfifo(dir_.File("fifo.jpg").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir_.File("fifo.jpg"), dir_.File("link-to-fifo.jpg"));
  std::filesystem::create_symlink("/dev/zero", dir_.File("device.jpg"));
  std::filesystem::create_symlink(dir_.File("real.jpg"), dir_.File("link-to-real.jpg"));

  std::set<std::u16string> names;
  for (const FolderEntry& entry : List(files_, dir_.path())) names.insert(entry.name);
  EXPECT_EQ(names, (std::set<std::u16string>{u"real.jpg", u"link-to-real.jpg"}));

  // Opened by name all the same (a name typed or remembered), none of them waits or is read.
  std::string content;
  for (const char* special : {"fifo.jpg", "link-to-fifo.jpg", "device.jpg"}) {
    SCOPED_TRACE(special);
    EXPECT_STATUS(E_ACCESS_DENIED, ReadAll(U(special), &content));
  }
  ASSERT_OK(ReadAll(U("link-to-real.jpg"), &content));
  EXPECT_EQ(content, "photo");
}

TEST_F(HostileFolderTest, NamesThatAreNotUtf8ReachTheFileSystemByteForByte) {
  // Two Latin-1 names that a lossy conversion would both turn into "caf\uFFFD.jpg", and a name
  // whose bytes look like an encoded surrogate.
  const std::vector<std::string> odd = {std::string("caf\xE9.jpg"), std::string("caf\xE8.jpg"),
                                        std::string("\xED\xA0\x80.jpg")};
  for (std::size_t i = 0; i < odd.size(); ++i) Write(dir_.File(odd[i]), "photo " + odd[i]);
  const std::vector<FolderEntry> entries = List(files_, dir_.path());
  ASSERT_EQ(entries.size(), odd.size());
  std::set<std::u16string> distinct;
  for (const FolderEntry& entry : entries) {
    distinct.insert(entry.name);
    const std::string bytes = ToNativePath(entry.name);
    ASSERT_NE(std::find(odd.begin(), odd.end(), bytes), odd.end());
    // Each is opened as itself and holds its own content.
    std::string content;
    ASSERT_OK(ReadAll(U("") + entry.name, &content));
    EXPECT_EQ(content, "photo " + bytes);
    // And renamed as itself: the new name keeps the old bytes with a suffix.
    ASSERT_OK(files_.Move(U("") + entry.name, U("") + entry.name + u".renamed", false));
    std::string renamed;
    ASSERT_OK(ReadAll(U(bytes + ".renamed"), &renamed));
    EXPECT_EQ(renamed, "photo " + bytes);
  }
  EXPECT_EQ(distinct.size(), odd.size());
}

// Points XDG_DATA_HOME (where the trash lives) at a folder for the life of the object.
class ScopedDataHome {
 public:
  explicit ScopedDataHome(const std::string& folder) {
    const char* old = std::getenv("XDG_DATA_HOME");
    had_ = old != nullptr;
    if (had_) saved_ = old;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
  }
  ~ScopedDataHome() {
    if (had_) {
      setenv("XDG_DATA_HOME", saved_.c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
  }

 private:
  bool had_ = false;
  std::string saved_;
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(HostileFolderTest, NamesThatAreNotUtf8AreRecycledAsThemselves) {
  const std::string trash = dir_.File("data/Trash");
  ScopedDataHome home(dir_.File("data"));
  const std::string latin1 = std::string("caf\xE9.jpg");
  const std::string other = std::string("caf\xE8.jpg");
  Write(dir_.File(latin1), "first");
  Write(dir_.File(other), "second");
  ASSERT_OK(files_.Recycle(U(latin1)));
  ASSERT_OK(files_.Recycle(U(other)));
  EXPECT_EQ(ReadText(trash + "/files/" + latin1), "first");
  EXPECT_EQ(ReadText(trash + "/files/" + other), "second");
  EXPECT_NE(ReadText(trash + "/info/" + latin1 + ".trashinfo").find("/caf%E9.jpg\n"),
            std::string::npos);

  // A second file of a name already in the trash is kept beside it under another name.
  std::filesystem::create_directories(dir_.File("sub"));
  Write(dir_.File("sub/" + latin1), "third");
  ASSERT_OK(files_.Recycle(U("sub/" + latin1)));
  EXPECT_EQ(ReadText(trash + "/files/" + latin1), "first");
  EXPECT_EQ(ReadText(trash + "/files/" + latin1 + ".2"), "third");
  const std::string info = ReadText(trash + "/info/" + latin1 + ".2.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=/", 0), 0u) << info;
  EXPECT_NE(info.find("/sub/caf%E9.jpg\nDeletionDate="), std::string::npos) << info;
}

TEST_F(HostileFolderTest, ATrashThatCannotTakeTheFileLeavesItWhereItWas) {
  struct Case {
    const char* what;
    bool (*prepare)(const std::string& trash);
  };
  const Case cases[] = {
      {"info is a file",
       [](const std::string& trash) {
         std::filesystem::create_directories(trash + "/files");
         Write(trash + "/info", "not a folder");
         return true;
       }},
      {"info is a link",
       [](const std::string& trash) {
         std::filesystem::create_directories(trash + "/files");
         std::filesystem::create_symlink(trash + "/elsewhere", trash + "/info");
         return true;
       }},
      {"info is not writable",
       [](const std::string& trash) {
         if (geteuid() == 0) return false;  // permissions do not bind the superuser
         std::filesystem::create_directories(trash + "/files");
         std::filesystem::create_directories(trash + "/info");
         return chmod((trash + "/info").c_str(), 0500) == 0;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir data;
    const std::string trash = data.File("Trash");
    std::filesystem::create_directories(trash);
    if (!c.prepare(trash)) continue;
    ScopedDataHome home(data.path());
    Write(dir_.File("keep.jpg"), "photo");
    EXPECT_TRUE(Failed(files_.Recycle(U("keep.jpg"))));
    EXPECT_EQ(ReadText(dir_.File("keep.jpg")), "photo");
    chmod((trash + "/info").c_str(), 0700);
  }
}

}  // namespace
}  // namespace lumatag
