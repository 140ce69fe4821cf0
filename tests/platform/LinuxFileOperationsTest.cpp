// The Linux file operations on a real temporary folder.
#include "platform/linux/LinuxFileOperations.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/linux/NativePath.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

void Write(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}
std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

class LinuxFileOperationsTest : public testing::Test {
 protected:
  std::u16string U(const std::string& name) { return FromNativePath(dir_.File(name)); }
  TempDir dir_;
  LinuxFileOperations files_;
};

TEST_F(LinuxFileOperationsTest, MoveNeverReplacesUnlessAsked) {
  Write(dir_.File("a.jpg"), "A");
  Write(dir_.File("b.jpg"), "B");
  EXPECT_STATUS(E_FILE_EXISTS, files_.Move(U("a.jpg"), U("b.jpg"), false));
  EXPECT_EQ(Read(dir_.File("a.jpg")), "A");
  EXPECT_EQ(Read(dir_.File("b.jpg")), "B");
  ASSERT_OK(files_.Move(U("a.jpg"), U("c.jpg"), false));
  EXPECT_FALSE(Exists(dir_.File("a.jpg")));
  EXPECT_EQ(Read(dir_.File("c.jpg")), "A");
  ASSERT_OK(files_.Move(U("c.jpg"), U("b.jpg"), true));
  EXPECT_EQ(Read(dir_.File("b.jpg")), "A");
  EXPECT_STATUS(E_FILE_NOT_FOUND, files_.Move(U("gone.jpg"), U("x.jpg"), false));
}

TEST_F(LinuxFileOperationsTest, ListsEntriesWithTimesAndKeepsUndecodableNames) {
  Write(dir_.File("photo.jpg"), "12345");
  mkdir(dir_.File("sub").c_str(), 0700);
  const std::string odd = std::string("caf") + '\xE9' + ".jpg";  // Latin-1, not UTF-8
  Write(dir_.File(odd), "x");
  std::unique_ptr<FolderListing> listing;
  ASSERT_OK(files_.OpenListing(FromNativePath(dir_.path()), &listing));
  int count = 0;
  FolderEntry entry;
  Status status;
  while (Succeeded(status = listing->Next(&entry))) {
    ++count;
    if (entry.name == u"photo.jpg") {
      EXPECT_FALSE(entry.folder);
      EXPECT_EQ(entry.size, 5u);
      EXPECT_GT(entry.creationTime, FileTimeFromUnix(1577836800, 0));  // after 2020
    } else if (entry.name == u"sub") {
      EXPECT_TRUE(entry.folder);
    } else {
      // The undecodable name comes back to the same bytes, so the file can be renamed.
      EXPECT_EQ(ToNativePath(entry.name), odd);
      ASSERT_OK(files_.Move(U("") + entry.name, U("renamed.jpg"), false));
    }
  }
  EXPECT_STATUS(E_NO_MORE_FILES, status);
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(Exists(dir_.File("renamed.jpg")));
  EXPECT_STATUS(E_PATH_NOT_FOUND, files_.OpenListing(U("missing"), &listing));
}

TEST_F(LinuxFileOperationsTest, RecycleMovesIntoTheTrash) {
  // The data folder does not exist yet: recycling creates it rather than setting the file aside
  // somewhere else.
  const std::string home = dir_.File("data/share");
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old != nullptr ? old : "";
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  Write(dir_.File("bin.jpg"), "trash me");
  const Status status = files_.Recycle(U("bin.jpg"));
  if (old != nullptr) {
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
  ASSERT_OK(status);
  EXPECT_FALSE(Exists(dir_.File("bin.jpg")));
  EXPECT_TRUE(Exists(home + "/Trash/files/bin.jpg"));
  EXPECT_TRUE(Exists(home + "/Trash/info/bin.jpg.trashinfo"));
  EXPECT_STATUS(E_FILE_NOT_FOUND, files_.Recycle(U("bin.jpg")));
}

TEST(NativePathTest, RoundTrips) {
  for (const std::string& bytes :
       {std::string("plain.jpg"), std::string("caf\xC3\xA9.jpg"), std::string("bad\xFF\xFE.jpg"),
        std::string("\xED\xA0\x80"), std::string("emoji\xF0\x9F\x93\xB7")}) {
    EXPECT_EQ(ToNativePath(FromNativePath(bytes)), bytes);
  }
  EXPECT_EQ(FromNativePath("caf\xC3\xA9"), u"café");
}

}  // namespace
}  // namespace lumatag
