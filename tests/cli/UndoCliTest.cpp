// lumatag-cli history and undo over real folders, with the journal in a temporary directory; and
// Rename Remaining runs killed at random moments, then undone.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

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

// Rename Remaining killed at random moments and then undone: every photo is back under the name it
// had before the run, none lost, none overwritten, each time.
TEST_F(UndoCliTest, UndoAfterAKilledRenameRemainingPutsBackExactlyTheFilesThatMoved) {
  constexpr int kPhotos = 300;
  AddPhotos(kPhotos);
  const auto original = Folder();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Run(RenameRemaining("Whole")).status, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now() - started)
                         .count();
  ASSERT_EQ(Run("undo").status, 0) << Stderr();
  ASSERT_EQ(Folder(), original);

  std::mt19937 random(20261206);
  int midBatch = 0;
  // The kill moment follows the renaming stretch: later after a kill before any move, earlier
  // after one past the last, with some jitter.
  long low = 0, high = 2 * whole;
  for (int round = 0; round < 200 && midBatch < 10; ++round) {
    const std::string lastBefore = LastBatch();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      const std::string command = Command(RenameRemaining("Round " + std::to_string(round)));
      execl("/bin/sh", "sh", "-c", ("exec env " + command).c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const long span = std::max(1L, (high - low) / 4);
    const long delay = (low + high) / 2 + static_cast<long>(random() % (2 * span + 1)) - span;
    std::this_thread::sleep_for(std::chrono::microseconds(std::max(0L, delay)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    const auto killed = Folder();
    int moved = 0;
    for (const auto& [name, mark] : killed) moved += original.count(name) == 0 ? 1 : 0;
    if (moved > 0 && moved < kPhotos) ++midBatch;
    // A search for the renaming stretch, which narrows as kills land before or after it.
    if (moved == 0) low = std::max(low, delay);
    if (moved == kPhotos) high = std::min(high, delay);
    // Timings vary on a loaded machine: a window that closed opens again around its place.
    if (high - low < whole / 20) {
      low = std::max(0L, low - whole / 10);
      high = low + whole / 5;
    }
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
}

}  // namespace
}  // namespace lumatag
