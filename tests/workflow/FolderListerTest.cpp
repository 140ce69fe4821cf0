#include "workflow/FolderLister.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/fake/MemoryFileOperations.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

std::vector<std::u16string> ListAll(FolderLister& lister, std::u16string_view folder,
                                    std::u16string_view pattern, unsigned options) {
  std::vector<std::u16string> names;
  for (Status s = lister.Start(folder, pattern, options); Succeeded(s); s = lister.Next()) {
    names.push_back(lister.CurrentRelativePath());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FolderListerTest, FilesFoldersPatternsAndRecursion) {
  MemoryFileOperations files;
  files.AddFile(u"/p/a.jpg");
  files.AddFile(u"/p/b.TIF");
  files.AddFile(u"/p/notes.txt");
  files.AddFile(u"/p/sub/c.jpg");
  files.AddFolder(u"/p/empty");
  FolderLister lister(files);
  using V = std::vector<std::u16string>;
  EXPECT_EQ(ListAll(lister, u"/p", u"", FolderLister::kFiles),
            (V{u"a.jpg", u"b.TIF", u"notes.txt"}));
  EXPECT_EQ(ListAll(lister, u"/p/", u"*.jpg;*.tif", FolderLister::kFiles), (V{u"a.jpg", u"b.TIF"}));
  EXPECT_EQ(ListAll(lister, u"/p", u"", FolderLister::kFolders), (V{u"empty", u"sub"}));
  EXPECT_EQ(ListAll(lister, u"/p", u"*.jpg", FolderLister::kFiles | FolderLister::kRecurse),
            (V{u"a.jpg", u"sub/c.jpg"}));
}

TEST(FolderListerTest, EmptyAndMissingFolders) {
  MemoryFileOperations files;
  files.AddFolder(u"/p/sub");
  FolderLister lister(files);
  EXPECT_STATUS(E_NO_MORE_FILES, lister.Start(u"/p", u"", FolderLister::kFiles));
  EXPECT_STATUS(E_PATH_NOT_FOUND, lister.Start(u"/q", u"", FolderLister::kFiles));
  EXPECT_TRUE(FolderExists(files, u"/p/sub"));
  EXPECT_FALSE(FolderExists(files, u"/p/none"));
  EXPECT_FALSE(FolderExists(files, u""));
}

TEST(NamePatternTest, Wildcards) {
  struct Case {
    const char16_t* name;
    const char16_t* pattern;
    bool match;
  };
  for (const Case& c :
       {Case{u"IMG_1234.JPG", u"*.jpg", true}, Case{u"IMG_1234.JPEG", u"*.jpg", false},
        Case{u"a.jpg", u"?.jpg", true}, Case{u"ab.jpg", u"?.jpg", false},
        Case{u"x.tif", u"*.jpg; *.tif", true}, Case{u"anything", u"*", true},
        Case{u"a.b.c", u"*.c", true}, Case{u"abc", u"a*b*c*", true}, Case{u"acb", u"a*b", true},
        Case{u"acbd", u"a*b", false}, Case{u"x", u"", false}}) {
    EXPECT_EQ(MatchesNamePattern(c.name, c.pattern), c.match)
        << Utf16ToUtf8(c.name) << " ~ " << Utf16ToUtf8(c.pattern);
  }
}

}  // namespace
}  // namespace lumatag
