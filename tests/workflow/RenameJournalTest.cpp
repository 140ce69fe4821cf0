#include "workflow/RenameJournal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "foundation/CountedString.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxJournalStore.h"
#include "platform/linux/NativePath.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Name(int i, const char* prefix) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%04d.jpg", prefix, i);
  return buffer;
}

class RenameJournalTest : public testing::Test {
 protected:
  RenameJournalTest() : store_(state_.File("Lumatag/journal")), journal_(store_) {
    folder_ = FromNativePath(photos_.path());
  }

  // Renames as the workflow does: written down first, then moved.
  Status JournaledRename(const std::string& from, const std::string& to) {
    const std::u16string oldName = FromNativePath(from), newName = FromNativePath(to);
    if (const Status s = journal_.Intend(oldName, newName); Failed(s)) return s;
    const Status moved = files_.Move(RenameJournal::PathOf(folder_, oldName),
                                     RenameJournal::PathOf(folder_, newName), false);
    if (Failed(moved)) IgnoreStatus(journal_.MarkFailed());
    return moved;
  }

  void MakePhotos(int count) {
    for (int i = 0; i < count; ++i)
      WriteFile(photos_.File(Name(i, "IMG_")), "photo " + Name(i, ""));
  }

  void RenameAll(int count) {
    ASSERT_OK(journal_.Begin(folder_, 1000));
    for (int i = 0; i < count; ++i) ASSERT_OK(JournaledRename(Name(i, "IMG_"), Name(i, "Trip ")));
    ASSERT_OK(journal_.End());
  }

  TempDir state_;
  TempDir photos_;
  std::u16string folder_;
  LinuxJournalStore store_;
  LinuxFileOperations files_;
  RenameJournal journal_;
};

TEST_F(RenameJournalTest, UndoOfABatchOf300PutsEveryFileBack) {
  MakePhotos(300);
  RenameAll(300);
  std::vector<JournalBatch> history;
  ASSERT_OK(journal_.History(u"", &history));
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].count, 300u);
  EXPECT_TRUE(history[0].complete);
  EXPECT_EQ(history[0].folder, folder_);

  UndoResult result;
  ASSERT_OK(UndoBatch(journal_, store_, files_, history[0].id, 2000, &result));
  EXPECT_EQ(result.restored, 300u);
  EXPECT_TRUE(result.problems.empty());
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(ReadFile(photos_.File(Name(i, "IMG_"))), "photo " + Name(i, "")) << i;
    EXPECT_EQ(ReadFile(photos_.File(Name(i, "Trip "))), "<missing>") << i;
  }
}

TEST_F(RenameJournalTest, UndoLeavesChangedGoneAndBlockedFilesAndReportsThem) {
  MakePhotos(4);
  RenameAll(4);
  // 0: replaced by another file under the same name; 1: its old name is taken again;
  // 2: gone; 3: untouched.
  unlink(photos_.File(Name(0, "Trip ")).c_str());
  WriteFile(photos_.File(Name(0, "Trip ")), "another photo");
  WriteFile(photos_.File(Name(1, "IMG_")), "newcomer");
  unlink(photos_.File(Name(2, "Trip ")).c_str());

  UndoResult result;
  ASSERT_OK(UndoBatch(journal_, store_, files_, 1, 2000, &result));
  EXPECT_EQ(result.restored, 1u);
  ASSERT_EQ(result.problems.size(), 3u);
  // Reported last rename first, the order undo works in.
  EXPECT_EQ(result.problems[0].kind, UndoProblemKind::Gone);
  EXPECT_EQ(result.problems[1].kind, UndoProblemKind::OldNameTaken);
  EXPECT_EQ(result.problems[2].kind, UndoProblemKind::Changed);
  EXPECT_EQ(ReadFile(photos_.File(Name(0, "Trip "))), "another photo");
  EXPECT_EQ(ReadFile(photos_.File(Name(0, "IMG_"))), "<missing>");
  EXPECT_EQ(ReadFile(photos_.File(Name(1, "IMG_"))), "newcomer");
  EXPECT_EQ(ReadFile(photos_.File(Name(1, "Trip "))), "photo " + Name(1, ""));
  EXPECT_EQ(ReadFile(photos_.File(Name(3, "IMG_"))), "photo " + Name(3, ""));
}

TEST_F(RenameJournalTest, UndoOfAnUndoRenamesAgain) {
  MakePhotos(20);
  RenameAll(20);
  UndoResult first, second;
  ASSERT_OK(UndoBatch(journal_, store_, files_, 1, 2000, &first));
  ASSERT_EQ(first.restored, 20u);
  ASSERT_OK(UndoBatch(journal_, store_, files_, first.undoBatch, 3000, &second));
  EXPECT_EQ(second.restored, 20u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(ReadFile(photos_.File(Name(i, "Trip "))), "photo " + Name(i, "")) << i;
  }
  std::vector<JournalBatch> history;
  ASSERT_OK(journal_.History(folder_, &history));
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[1].undoOf, 1u);
  EXPECT_EQ(history[2].undoOf, history[1].id);
}

TEST_F(RenameJournalTest, SwappedNamesComeBackInReverseOrder) {
  WriteFile(photos_.File("a.jpg"), "A");
  WriteFile(photos_.File("b.jpg"), "B");
  ASSERT_OK(journal_.Begin(folder_, 1));
  ASSERT_OK(JournaledRename("a.jpg", "t.jpg"));
  ASSERT_OK(JournaledRename("b.jpg", "a.jpg"));
  ASSERT_OK(JournaledRename("t.jpg", "b.jpg"));
  ASSERT_OK(journal_.End());
  UndoResult result;
  ASSERT_OK(UndoBatch(journal_, store_, files_, 1, 2, &result));
  EXPECT_EQ(result.restored, 3u);
  EXPECT_EQ(ReadFile(photos_.File("a.jpg")), "A");
  EXPECT_EQ(ReadFile(photos_.File("b.jpg")), "B");
}

TEST_F(RenameJournalTest, FailedMovesAreNeitherCountedNorUndone) {
  MakePhotos(2);
  WriteFile(photos_.File(Name(1, "Trip ")), "in the way");
  ASSERT_OK(journal_.Begin(folder_, 1));
  ASSERT_OK(JournaledRename(Name(0, "IMG_"), Name(0, "Trip ")));
  EXPECT_STATUS(E_FILE_EXISTS, JournaledRename(Name(1, "IMG_"), Name(1, "Trip ")));
  ASSERT_OK(journal_.End());
  std::vector<JournalBatch> history;
  ASSERT_OK(journal_.History(u"", &history));
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].count, 1u);
  UndoResult result;
  ASSERT_OK(UndoBatch(journal_, store_, files_, 1, 2, &result));
  EXPECT_EQ(result.restored, 1u);
  EXPECT_TRUE(result.problems.empty());
  EXPECT_EQ(ReadFile(photos_.File(Name(1, "Trip "))), "in the way");
}

// A process killed mid-batch: the renames written down but never made are passed over, the ones
// made are undone.
TEST_F(RenameJournalTest, BatchCutShortIsMarkedAndUndoneForTheFilesThatMoved) {
  MakePhotos(10);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    LinuxJournalStore store(state_.File("Lumatag/journal"));
    RenameJournal journal(store);
    LinuxFileOperations files;
    if (Failed(journal.Begin(folder_, 5))) _exit(1);
    for (int i = 0; i < 6; ++i) {
      const std::u16string oldName = FromNativePath(Name(i, "IMG_"));
      const std::u16string newName = FromNativePath(Name(i, "Trip "));
      if (Failed(journal.Intend(oldName, newName))) _exit(1);
      if (i == 5) _exit(0);  // killed between writing down and moving
      if (Failed(files.Move(RenameJournal::PathOf(folder_, oldName),
                            RenameJournal::PathOf(folder_, newName), false))) {
        _exit(1);
      }
    }
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  std::vector<JournalBatch> history;
  ASSERT_OK(journal_.History(u"", &history));
  ASSERT_EQ(history.size(), 1u);
  EXPECT_FALSE(history[0].complete);
  UndoResult result;
  ASSERT_OK(UndoBatch(journal_, store_, files_, history[0].id, 6, &result));
  EXPECT_EQ(result.restored, 5u);
  EXPECT_TRUE(result.problems.empty());
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(ReadFile(photos_.File(Name(i, "IMG_"))), "photo " + Name(i, "")) << i;
  }
}

TEST_F(RenameJournalTest, KeepsTheLastHundredBatches) {
  WriteFile(photos_.File("a.jpg"), "A");
  for (int i = 0; i < 105; ++i) {
    ASSERT_OK(journal_.Begin(folder_, static_cast<FileTime>(i)));
    ASSERT_OK(JournaledRename(i % 2 == 0 ? "a.jpg" : "b.jpg", i % 2 == 0 ? "b.jpg" : "a.jpg"));
    ASSERT_OK(journal_.End());
  }
  std::vector<JournalBatch> history;
  ASSERT_OK(journal_.History(u"", &history));
  ASSERT_EQ(history.size(), RenameJournal::kBatchesKept);
  EXPECT_EQ(history.front().id, 6u);
  EXPECT_EQ(history.back().id, 105u);
}

TEST_F(RenameJournalTest, BatchWithoutRenamesIsForgottenAndOtherFoldersAreFilteredOut) {
  ASSERT_OK(journal_.Begin(folder_, 1));
  ASSERT_OK(journal_.End());
  std::vector<JournalBatch> history;
  ASSERT_OK(journal_.History(u"", &history));
  EXPECT_TRUE(history.empty());
  MakePhotos(1);
  RenameAll(1);
  ASSERT_OK(journal_.History(u"/elsewhere", &history));
  EXPECT_TRUE(history.empty());
  ASSERT_OK(journal_.History(folder_, &history));
  EXPECT_EQ(history.size(), 1u);
}

// Names with the journal's own separators and bytes that are not valid UTF-8 come back intact.
TEST_F(RenameJournalTest, UnusualNamesSurviveTheJournal) {
  const std::string names[] = {"tab\there.jpg", "line\nbreak.jpg", "100%.jpg", "caf\xc3\xa9.jpg",
                               "bad\xff\xfe.jpg"};
  for (const std::string& name : names) WriteFile(photos_.File(name), name);
  ASSERT_OK(journal_.Begin(folder_, 1));
  int i = 0;
  for (const std::string& name : names) ASSERT_OK(JournaledRename(name, Name(i++, "x")));
  ASSERT_OK(journal_.End());
  UndoResult result;
  ASSERT_OK(UndoBatch(journal_, store_, files_, 1, 2, &result));
  EXPECT_EQ(result.restored, 5u);
  for (const std::string& name : names) EXPECT_EQ(ReadFile(photos_.File(name)), name);
}

TEST(LinuxJournalStoreTest, IsPrivateAndFollowsNoLink) {
  TempDir state, elsewhere;
  LinuxJournalStore store(state.File("Lumatag/journal"));
  ASSERT_OK(store.Create("batch-0000000001", "x\n"));
  struct stat st {};
  ASSERT_EQ(stat(state.File("Lumatag/journal").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_EQ(symlink(elsewhere.path().c_str(), state.File("Linked").c_str()), 0);
  LinuxJournalStore linked(state.File("Linked/journal"));
  EXPECT_TRUE(Failed(linked.Create("batch-0000000001", "x\n")));
  EXPECT_EQ(ReadFile(elsewhere.File("journal/batch-0000000001")), "<missing>");
  EXPECT_STATUS(E_INVALIDARG, store.Create("../escape", "x"));
}

}  // namespace
}  // namespace lumatag
