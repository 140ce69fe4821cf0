// lumatag-cli history and undo over real folders, with the journal in a temporary directory; and
// Rename Remaining runs killed at random moments, then undone.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

namespace fs = std::filesystem;

class UndoCliTest : public testing::Test {
 protected:
  UndoCliTest() {
    for (const char* folder : {"config", "data", "state", "photos"}) {
      fs::create_directories(home_.File(folder));
    }
  }

  std::string Photos() const { return home_.File("photos"); }

  void AddPhoto(const std::string& name, const std::string& taken, const std::string& tail) {
    photo::PhotoBuilder builder;
    builder.Ascii(photo::Ifd::kExif, 0x9003, taken);
    const photo::Bytes bytes = builder.Jpeg();
    std::ofstream(Photos() + "/" + name, std::ios::binary)
        << std::string(bytes.begin(), bytes.end()) << tail;
  }

  void AddPhotos(int count) {
    for (int i = 1; i <= count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
      char taken[32];
      std::snprintf(taken, sizeof taken, "2013:05:%02d %02d:%02d:%02d", 1 + i / 3600 % 28,
                    i / 60 % 24, i % 60, i % 60);
      AddPhoto(name, taken, "photo " + std::to_string(i));
    }
  }

  // Every file of the folder: name -> the "photo N" mark at its end.
  std::map<std::string, std::string> Folder() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(Photos())) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream text;
      text << in.rdbuf();
      const std::string content = text.str();
      const std::size_t at = content.rfind("photo ");
      files[entry.path().filename().string()] =
          at == std::string::npos ? content : content.substr(at);
    }
    return files;
  }

  std::string Command(const std::string& arguments) const {
    return "XDG_CONFIG_HOME='" + home_.File("config") + "' XDG_DATA_HOME='" + home_.File("data") +
           "' XDG_STATE_HOME='" + home_.File("state") + "' " + LUMATAG_CLI + " " + arguments;
  }
  CliRun Run(const std::string& arguments) const {
    return RunShell(Command(arguments) + " 2>" + ShellQuoted(home_.File("stderr")));
  }
  std::string Stderr() const {
    std::ifstream in(home_.File("stderr"));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string RenameRemaining(const std::string& base) const {
    return "rename-remaining " + ShellQuoted(Photos()) +
           " --pattern-name 'Hash sign & 3 digits' --base '" + base + "' --mode all --yes";
  }
  // The id of the last batch in the history, 0 when there is none.
  std::string LastBatch() const {
    const std::string history = Run("history").out;
    if (history.empty()) return "";
    const std::size_t lineStart = history.rfind('\n', history.size() - 2);
    const std::string line = history.substr(lineStart == std::string::npos ? 0 : lineStart + 1);
    return line.substr(0, line.find('\t'));
  }

  TempDir home_;
};

TEST_F(UndoCliTest, HistoryListsBatchesAndUndoPutsThemBack) {
  AddPhotos(3);
  const auto before = Folder();
  ASSERT_EQ(Run(RenameRemaining("Whole")).status, 0);
  ASSERT_NE(Folder(), before);
  const CliRun history = Run("history " + ShellQuoted(Photos()));
  ASSERT_EQ(history.status, 0);
  // id, time, folder (absolute, with its separator), count.
  EXPECT_TRUE(history.out.rfind("1\t2", 0) == 0) << history.out;
  EXPECT_NE(history.out.find("\t" + fs::canonical(Photos()).string() + "/\t3\n"), std::string::npos)
      << history.out;
  EXPECT_EQ(Run("history " + ShellQuoted(home_.File("data"))).out, "");

  const CliRun undo = Run("undo");
  EXPECT_EQ(undo.status, 0) << Stderr();
  EXPECT_EQ(undo.out, "undone\t1\t3\n");
  EXPECT_EQ(Folder(), before);
  // The undo is a batch too: undoing it renames again.
  EXPECT_EQ(Run("undo").out, "undone\t2\t3\n");
  EXPECT_NE(Folder(), before);
  EXPECT_EQ(Run("undo 2").status, 1);  // its files are not under those names any more
  EXPECT_NE(Stderr().find("left\t"), std::string::npos);
  EXPECT_EQ(Run("undo nonsense").status, 2);
}

// A RAW+JPEG+XMP triple: the dry run shows each companion's move under its photo, the run moves
// them together, and undo brings all three back; without companions only the photo moves.
TEST_F(UndoCliTest, CompanionsAreRenamedWithTheirPhotoAndBack) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 10:00:00", "photo 1");
  std::ofstream(Photos() + "/IMG_0001.CR2") << "photo 1 raw";
  std::ofstream(Photos() + "/IMG_0001.JPG.xmp") << "photo 1 sidecar";
  const auto before = Folder();

  const CliRun dry = Run(RenameRemaining("Set") + " --dry-run");
  EXPECT_EQ(dry.status, 0) << Stderr();
  EXPECT_EQ(dry.out,
            "IMG_0001.JPG -> Set #001.JPG\n"
            "  IMG_0001.CR2 -> Set #001.CR2\n"
            "  IMG_0001.JPG.xmp -> Set #001.JPG.xmp\n"
            "1 photo would be renamed.\n");
  EXPECT_EQ(Folder(), before);

  const CliRun run = Run(RenameRemaining("Set"));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out,
            "IMG_0001.JPG -> Set #001.JPG\n"
            "  IMG_0001.CR2 -> Set #001.CR2\n"
            "  IMG_0001.JPG.xmp -> Set #001.JPG.xmp\n"
            "1 photo was renamed.\n");
  const auto renamed = Folder();
  EXPECT_EQ(renamed.at("Set #001.CR2"), "photo 1 raw");
  EXPECT_EQ(renamed.at("Set #001.JPG.xmp"), "photo 1 sidecar");
  EXPECT_NE(Run("history").out.find("\t3\n"), std::string::npos);  // three files in the batch

  EXPECT_EQ(Run("undo").out, "undone\t1\t3\n");
  EXPECT_EQ(Folder(), before);

  const CliRun alone = Run(RenameRemaining("Set") + " --no-companions");
  EXPECT_EQ(alone.out, "IMG_0001.JPG -> Set #001.JPG\n1 photo was renamed.\n");
  EXPECT_EQ(Run("undo").status, 0);
  EXPECT_EQ(Folder(), before);
  EXPECT_EQ(Run(RenameRemaining("Set") + " --companions --no-companions").status, 2);

  const CliRun one = Run("rename " + ShellQuoted(Photos()) + " IMG_0001.JPG Beach");
  EXPECT_EQ(one.status, 0) << Stderr();
  EXPECT_EQ(one.out,
            "IMG_0001.JPG -> Beach.JPG\n"
            "  IMG_0001.CR2 -> Beach.CR2\n"
            "  IMG_0001.JPG.xmp -> Beach.JPG.xmp\n");
}

// The names in the folder that were not there before the run.
int MovedCount(const std::string& folder, const std::map<std::string, std::string>& original) {
  int moved = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    moved += original.count(entry.path().filename().string()) == 0 ? 1 : 0;
  }
  return moved;
}

// The record files of the journal, by name (their names sort as their batches).
std::vector<std::string> JournalRecords(const std::string& journal) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(journal, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The renames written down in the newest record file, when it is newer than `before`.
int RenamesWrittenDown(const std::string& journal, const std::string& before) {
  const std::vector<std::string> names = JournalRecords(journal);
  if (names.empty() || names.back() <= before) return 0;
  std::ifstream in(journal + "/" + names.back(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  const std::string content = text.str();
  int count = 0;
  for (std::size_t at = content.find("\nR\t"); at != std::string::npos;
       at = content.find("\nR\t", at + 1)) {
    ++count;
  }
  return count;
}

// Rename Remaining killed half-way and then undone: every photo is back under the name it had
// before the run, none lost, none overwritten, each time. The kill follows what the run has done,
// not the clock: once a chosen number of renames were written down in the journal (the kill may
// then fall between a rename's line and its move), or once that many files carry new names. The
// run is started at the lowest priority, so that on a busy machine the watching side is not
// outrun.
TEST_F(UndoCliTest, UndoAfterAKilledRenameRemainingPutsBackExactlyTheFilesThatMoved) {
  constexpr int kPhotos = 300;
  AddPhotos(kPhotos);
  const auto original = Folder();
  const std::string journal = home_.File("state") + "/Lumatag/journal";

  std::mt19937 random(20261206);
  int midBatch = 0;
  int round = 0;
  for (; round < 40 && midBatch < 10; ++round) {
    const std::string lastBefore = LastBatch();
    const std::vector<std::string> records = JournalRecords(journal);
    const std::string newestRecord = records.empty() ? "" : records.back();
    const bool watchJournal = round % 2 == 0;
    const int goal = 2 + static_cast<int>(random() % (kPhotos * 3 / 4));

    // Watched until the goal is reached or the run ends by itself.
    RunUntilKilled("env " + Command(RenameRemaining("Round " + std::to_string(round))), [&] {
      const int progress =
          watchJournal ? RenamesWrittenDown(journal, newestRecord) : MovedCount(Photos(), original);
      return progress >= goal;
    });

    const auto killed = Folder();
    int moved = 0;
    for (const auto& [name, mark] : killed) moved += original.count(name) == 0 ? 1 : 0;
    if (moved > 0 && moved < kPhotos) ++midBatch;
    ASSERT_EQ(killed.size(), original.size()) << "round " << round;

    // Undo the run's batch, if it got as far as starting one.
    const std::string last = LastBatch();
    if (last != lastBefore) {
      const CliRun undo = Run("undo " + last);
      EXPECT_EQ(undo.status, 0) << "round " << round << ": " << Stderr();
    }
    ASSERT_EQ(Folder(), original) << "round " << round << ", " << moved << " had moved";
  }
  EXPECT_GE(midBatch, 10) << "too few runs were stopped half-way";
  RecordProperty("stoppedHalfWay", midBatch);
  RecordProperty("rounds", round);
}

}  // namespace
}  // namespace lumatag
