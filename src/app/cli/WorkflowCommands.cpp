// The photo folder commands of lumatag-cli:
//   scan [FOLDER]: one line per photo in list order — index (from 1), "unnamed" or "named", file
//     name, picture-taken date (YYYY-MM-DD HH:MM:SS), pattern name, base name, number, separated
//     by tabs — then the two count lines.
//   rename-remaining FOLDER --pattern-name NAME --base TEXT [--mode all|unnamed|named]
//     [--from FILE] [--dry-run] [--yes]: Rename Remaining from the first visible photo (or FILE).
//   rename FOLDER FILE NEWNAME, delete FOLDER FILE: one photo, with every check and question.
#include <cstdio>

#include "app/cli/WorkflowSession.h"

namespace lumatag::cli {

namespace {

std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

int PrintCounts(const StringModule& strings, const PhotoList& list) {
  CountedString text;
  if (Failed(list.PhotoIndexText(strings, text))) return 1;
  std::printf("%s\n", Utf8(text.View()).c_str());
  if (Failed(list.UnnamedCountText(strings, text))) return 1;
  std::printf("%s\n", Utf8(text.View()).c_str());
  return 0;
}

int RunScan(CliContext& context, const std::vector<std::string>& args) {
  if (args.size() > 1) return UsageError("scan");
  WorkflowSession session(context);
  const int opened = session.Open(args.empty() ? std::string() : args[0], -1, false);
  if (opened != 0) return opened;
  PhotoWorkflow& workflow = session.Workflow();
  const PhotoList& list = workflow.Photos();
  for (int i = 0; i < list.Count(); ++i) {
    const PhotoEntry& photo = list.At(i);
    const SystemTime taken = GetPictureTakenDate(photo);
    const NamingPattern* pattern = workflow.PatternAt(PatternIndex(photo));
    std::u16string_view base;
    if (photo.baseNameLength > 0 &&
        photo.baseNameStart + photo.baseNameLength <= photo.fileName.Length()) {
      base = photo.fileName.View().substr(photo.baseNameStart, photo.baseNameLength);
    }
    std::printf("%d\t%s\t%s\t%04u-%02u-%02u %02u:%02u:%02u\t%s\t%s\t%u\n", i + 1,
                (photo.flags & kPhotoUnnamed) ? "unnamed" : "named",
                Escaped(photo.fileName.View()).c_str(), taken.year, taken.month, taken.day,
                taken.hour, taken.minute, taken.second,
                pattern != nullptr ? Escaped(pattern->name.View()).c_str() : "",
                Escaped(base).c_str(), static_cast<unsigned>(photo.number));
  }
  return PrintCounts(*context.app.resourceModule, list);
}

int RunRenameRemaining(CliContext& context, const std::vector<std::string>& args) {
  std::string folder, patternName, base, from;
  int mode = -1;
  bool dryRun = false, yes = false, havePattern = false, haveBase = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--pattern-name" && hasValue) {
      patternName = args[++i];
      havePattern = true;
    } else if (arg == "--base" && hasValue) {
      base = args[++i];
      haveBase = true;
    } else if (arg == "--from" && hasValue) {
      from = args[++i];
    } else if (arg == "--mode" && hasValue) {
      const std::string& value = args[++i];
      if (value == "all") {
        mode = kNavigateAll;
      } else if (value == "unnamed") {
        mode = kNavigateUnnamed;
      } else if (value == "named") {
        mode = kNavigateNamed;
      } else {
        return UsageError("rename-remaining");
      }
    } else if (arg == "--dry-run") {
      dryRun = true;
    } else if (arg == "--yes") {
      yes = true;
    } else if (folder.empty() && !arg.empty() && arg[0] != '-') {
      folder = arg;
    } else {
      return UsageError("rename-remaining");
    }
  }
  if (folder.empty() || !havePattern || !haveBase) return UsageError("rename-remaining");

  WorkflowSession session(context);
  const int opened = session.Open(folder, mode, dryRun);
  if (opened != 0) return opened;
  PhotoWorkflow& workflow = session.Workflow();
  if (workflow.Photos().IsEmpty()) {
    std::fprintf(stderr, "lumatag-cli: no photos in the folder\n");
    return 1;
  }
  if (!from.empty()) {
    const int index = session.FindPhoto(from);
    if (index < 0) {
      std::fprintf(stderr, "lumatag-cli: no photo named %s in the list\n", from.c_str());
      return 1;
    }
    if (Failed(workflow.ChoosePhoto(index))) return 1;
  }
  const std::u16string pattern16 = Utf8ToUtf16(patternName);
  const int patternIndex = session.FindPattern(pattern16);
  if (patternIndex < 0) {
    std::fprintf(stderr, "lumatag-cli: no pattern named %s\n", patternName.c_str());
    return 1;
  }
  if (Failed(workflow.ChoosePattern(pattern16)) ||
      Failed(workflow.ChooseBaseName(Utf8ToUtf16(base), true, false))) {
    return 1;
  }
  workflow.onRenamed = [](std::u16string_view oldName, std::u16string_view newName) {
    std::printf("%s -> %s\n", Utf8(oldName).c_str(), Utf8(newName).c_str());
    std::fflush(stdout);
  };
  const Status status = workflow.RenameRemaining(nullptr, !(yes || dryRun));
  return Failed(status) ? 1 : 0;
}

// Opens the folder and makes FILE the current photo.
int OpenOnPhoto(WorkflowSession& session, const std::string& folder, const std::string& file) {
  const int opened = session.Open(folder, kNavigateAll, false);
  if (opened != 0) return opened;
  const int index = session.FindPhoto(file);
  if (index < 0) {
    std::fprintf(stderr, "lumatag-cli: no photo named %s in the list\n", file.c_str());
    return 1;
  }
  return Failed(session.Workflow().ChoosePhoto(index)) ? 1 : 0;
}

int RunRename(CliContext& context, const std::vector<std::string>& args) {
  if (args.size() != 3) return UsageError("rename");
  WorkflowSession session(context);
  const int opened = OpenOnPhoto(session, args[0], args[1]);
  if (opened != 0) return opened;
  PhotoWorkflow& workflow = session.Workflow();
  workflow.onRenamed = [](std::u16string_view oldName, std::u16string_view newName) {
    std::printf("%s -> %s\n", Utf8(oldName).c_str(), Utf8(newName).c_str());
  };
  workflow.NewNameEdited(Utf8ToUtf16(args[2]));
  const Status status = workflow.Rename();
  return Failed(status) ? 1 : 0;
}

int RunDelete(CliContext& context, const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("delete");
  WorkflowSession session(context);
  const int opened = OpenOnPhoto(session, args[0], args[1]);
  if (opened != 0) return opened;
  return Failed(session.Workflow().Delete()) ? 1 : 0;
}

}  // namespace

LT_CLI_COMMAND(scan, "scan", "[FOLDER]", RunScan);
LT_CLI_COMMAND(rename_remaining, "rename-remaining",
               "FOLDER --pattern-name NAME --base TEXT [--mode all|unnamed|named] [--from FILE] "
               "[--dry-run] [--yes]",
               RunRenameRemaining);
LT_CLI_COMMAND(rename, "rename", "FOLDER FILE NEWNAME", RunRename);
LT_CLI_COMMAND(delete, "delete", "FOLDER FILE", RunDelete);

}  // namespace lumatag::cli
