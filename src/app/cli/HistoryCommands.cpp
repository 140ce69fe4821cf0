// The rename journal on the command line:
//   history [FOLDER]: one line per batch kept, oldest first — id, time (YYYY-MM-DD HH:MM:SS,
//   local),
//     folder, count of renames — separated by tabs; only the batches of FOLDER when given.
//   undo [BATCH]: moves every file of the batch (default: the last) back to its old name, last
//     rename first, and prints "undone\tBATCH\tRESTORED"; each file left as it is gets a line
//     "left\tREASON\tNEW NAME\tOLD NAME" (REASON: gone, changed, taken, failed) on standard
//     error, and the exit status is then 1. The undo is a batch of its own, so it can be undone.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliCommon.h"
#include "foundation/CountedString.h"
#include "foundation/SystemTime.h"
#include "platform/linux/LinuxFileOperations.h"
#include "platform/linux/LinuxJournalStore.h"
#include "platform/linux/NativePath.h"
#include "platform/linux/SystemClock.h"
#include "workflow/RenameJournal.h"

namespace lumatag::cli {

namespace {

// The folder as the workflow records it: absolute, links resolved, with a trailing separator.
std::u16string JournalFolder(const std::string& folder) {
  char resolved[PATH_MAX];
  std::string path = realpath(folder.c_str(), resolved) != nullptr ? resolved : folder;
  if (path.empty() || path.back() != '/') path.push_back('/');
  return FromNativePath(path);
}

std::string TimeText(FileTime time) {
  SystemTime t{};
  if (Failed(FileTimeToSystemTime(time, &t))) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

const char* ReasonText(UndoProblemKind kind) {
  switch (kind) {
    case UndoProblemKind::Gone:
      return "gone";
    case UndoProblemKind::Changed:
      return "changed";
    case UndoProblemKind::OldNameTaken:
      return "taken";
    case UndoProblemKind::MoveFailed:
      break;
  }
  return "failed";
}

int RunHistory(CliContext&, const std::vector<std::string>& args) {
  ArgumentReader reader({});
  if (!reader.Read(args, 0, 1)) return UsageError("history");
  LinuxJournalStore store(LinuxJournalStore::DefaultFolder());
  RenameJournal journal(store);
  const std::u16string folder =
      reader.Positional().empty() ? std::u16string() : JournalFolder(reader.Positional()[0]);
  std::vector<JournalBatch> batches;
  if (const Status s = journal.History(folder, &batches); Failed(s)) {
    std::fprintf(ErrorOutput(), "lumatag-cli: cannot read the rename journal (%s)\n",
                 StatusText(s).c_str());
    return 1;
  }
  for (const JournalBatch& batch : batches) {
    std::printf("%llu\t%s\t%s\t%zu\n", static_cast<unsigned long long>(batch.id),
                TimeText(batch.time).c_str(), Escaped(batch.folder).c_str(), batch.count);
  }
  return 0;
}

int RunUndo(CliContext&, const std::vector<std::string>& args) {
  ArgumentReader reader({});
  if (!reader.Read(args, 0, 1)) return UsageError("undo");
  LinuxJournalStore store(LinuxJournalStore::DefaultFolder());
  RenameJournal journal(store);
  std::uint64_t id = 0;
  if (!reader.Positional().empty()) {
    const std::string& text = reader.Positional()[0];
    char* end = nullptr;
    id = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || id == 0) return UsageError("undo");
  } else {
    std::vector<JournalBatch> batches;
    if (Failed(journal.History(u"", &batches)) || batches.empty()) {
      std::fprintf(ErrorOutput(), "lumatag-cli: nothing to undo\n");
      return 1;
    }
    id = batches.back().id;
  }
  LinuxFileOperations files;
  SystemClock clock;
  FileTime now = 0;
  IgnoreStatus(SystemTimeToFileTime(clock.LocalNow(), &now));
  UndoResult result;
  if (const Status s = UndoBatch(journal, store, files, id, now, &result); Failed(s)) {
    std::fprintf(ErrorOutput(), "lumatag-cli: cannot undo batch %llu (%s)\n",
                 static_cast<unsigned long long>(id), StatusText(s).c_str());
    return 1;
  }
  for (const UndoProblem& problem : result.problems) {
    std::fprintf(ErrorOutput(), "left\t%s\t%s\t%s\n", ReasonText(problem.kind),
                 Escaped(problem.newName).c_str(), Escaped(problem.oldName).c_str());
  }
  std::printf("undone\t%llu\t%zu\n", static_cast<unsigned long long>(id), result.restored);
  return result.problems.empty() ? 0 : 1;
}

}  // namespace

LT_CLI_COMMAND(history, "history", "[FOLDER]   (lines: id TAB time TAB folder TAB count)",
               RunHistory);
LT_CLI_COMMAND(undo, "undo", "[BATCH]   (default: the last batch)", RunUndo);

}  // namespace lumatag::cli
