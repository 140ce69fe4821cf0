// The photo folder commands of lumatag-cli:
//   scan [FOLDER]: one line per photo in list order — index (from 1), "unnamed" or "named", file
//     name, picture-taken date (YYYY-MM-DD HH:MM:SS), pattern name, base name, number, separated
//     by tabs — then the two count lines.
//   rename-remaining FOLDER --pattern-name NAME --base TEXT [--mode all|unnamed|named]
//     [--from FILE] [--dry-run] [--yes] [--companions|--no-companions]: Rename Remaining from the
//     first visible photo (or FILE); one line "OLD -> NEW" per photo, each companion file that
//     moves with it on a line of its own indented by two spaces; a dry run ends with "{1} photos
//     would be renamed.". When a photo could not be renamed the reason goes to standard error and
//     the exit status is 1.
//   rename FOLDER FILE NEWNAME [--companions|--no-companions], delete FOLDER FILE: one photo, with
//     every check and question.
// --companions / --no-companions override the setting "Rename Companion Files" for the run.
#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/ProgressLine.h"
#include "app/cli/WorkflowSession.h"
#include "foundation/Numbers.h"
#include "foundation/StringIds.h"

namespace lumatag::cli {

namespace {

std::string Utf8(std::u16string_view text) {
  return Escaped(text);
}

// The companion option of a command: 1 on, 0 off, -1 as the settings say; -2 when both are given.
int CompanionOption(const ArgumentReader& reader) {
  const bool on = reader.Has("--companions");
  const bool off = reader.Has("--no-companions");
  if (on && off) return -2;
  return on ? 1 : off ? 0 : -1;
}

void ApplyCompanionOption(WorkflowSession& session, int option) {
  if (option >= 0) session.App().Naming().renameCompanions = option == 1;
}

void PrintMove(const char* indent, std::u16string_view oldName, std::u16string_view newName) {
  std::printf("%s%s -> %s\n", indent, Utf8(oldName).c_str(), Utf8(newName).c_str());
}

int PrintCounts(const StringModule& strings, const PhotoList& list) {
  CountedString text;
  if (Failed(list.PhotoIndexText(strings, text))) return 1;
  std::printf("%s\n", Utf8(text.View()).c_str());
  if (Failed(list.UnnamedCountText(strings, text))) return 1;
  std::printf("%s\n", Utf8(text.View()).c_str());
  return 0;
}

// The scan's progress on the terminal.
ScanControl ScanProgressOn(ProgressLine& line) {
  ScanControl control;
  control.progress = [&line](const ScanProgress& progress) {
    if (progress.finished) {
      line.Erase();
    } else {
      line.Show(IDS_PROGRESS_SCAN, static_cast<std::uint32_t>(progress.photosFound),
                static_cast<std::uint32_t>(progress.filesSeen));
    }
  };
  return control;
}

int RunScan(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({}, true);
  if (!reader.Read(args, 0, 1)) return UsageError("scan");
  WorkflowSession session(context);
  ProgressLine progress(*context.app.resourceModule);
  const std::string folder = reader.Positional().empty() ? std::string() : reader.Positional()[0];
  const int opened = session.Open(folder, -1, false, ScanProgressOn(progress));
  progress.Erase();
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
  ArgumentReader reader({{"--pattern-name", true, false},
                         {"--base", true, false},
                         {"--from", true, false},
                         {"--mode", true, false},
                         {"--dry-run", false, false},
                         {"--yes", false, false},
                         {"--companions", false, false},
                         {"--no-companions", false, false}});
  if (!reader.Read(args, 1, 1) || !reader.Has("--pattern-name") || !reader.Has("--base")) {
    return UsageError("rename-remaining");
  }
  const int companions = CompanionOption(reader);
  if (companions == -2) return UsageError("rename-remaining");
  const std::string& folder = reader.Positional()[0];
  const std::string& patternName = reader.Value("--pattern-name");
  const std::string& base = reader.Value("--base");
  const std::string& from = reader.Value("--from");
  const bool dryRun = reader.Has("--dry-run");
  const bool yes = reader.Has("--yes");
  int mode = -1;
  if (reader.Has("--mode")) {
    const std::string& value = reader.Value("--mode");
    if (value == "all") {
      mode = kNavigateAll;
    } else if (value == "unnamed") {
      mode = kNavigateUnnamed;
    } else if (value == "named") {
      mode = kNavigateNamed;
    } else {
      return UsageError("rename-remaining");
    }
  }
  if (folder.empty()) return UsageError("rename-remaining");

  WorkflowSession session(context);
  ProgressLine progress(*context.app.resourceModule);
  const int opened = session.Open(folder, mode, dryRun, ScanProgressOn(progress));
  progress.Erase();
  if (opened != 0) return opened;
  ApplyCompanionOption(session, companions);
  PhotoWorkflow& workflow = session.Workflow();
  if (workflow.Photos().IsEmpty()) {
    std::fprintf(ErrorOutput(), "lumatag-cli: no photos in the folder\n");
    return 1;
  }
  if (!from.empty()) {
    const int index = session.FindPhoto(from);
    if (index < 0) {
      std::fprintf(ErrorOutput(), "lumatag-cli: no photo named %s in the list\n",
                   Escaped(ArgumentText(from)).c_str());
      return 1;
    }
    if (Failed(workflow.ChoosePhoto(index))) return 1;
  }
  const std::u16string pattern16 = Utf8ToUtf16(patternName);
  const int patternIndex = session.FindPattern(pattern16);
  if (patternIndex < 0) {
    std::fprintf(ErrorOutput(), "lumatag-cli: no pattern named %s\n", Escaped(pattern16).c_str());
    return 1;
  }
  if (Failed(workflow.ChoosePattern(pattern16)) ||
      Failed(workflow.ChooseBaseName(ArgumentText(base), true, false))) {
    return 1;
  }
  workflow.onRenamed = [&progress](std::u16string_view oldName, std::u16string_view newName) {
    progress.Erase();
    PrintMove("", oldName, newName);
  };
  workflow.onCompanionRenamed = [](std::u16string_view oldName, std::u16string_view newName) {
    PrintMove("  ", oldName, newName);
  };
  workflow.onBatchProgress = [&progress](int done, int total) {
    progress.Show(IDS_PROGRESS_RENAME, static_cast<std::uint32_t>(done),
                  static_cast<std::uint32_t>(total));
  };
  int renamed = 0;
  const Status status = workflow.RenameRemaining(&renamed, !(yes || dryRun), false);
  progress.Erase();
  // Photos that could not be renamed were reported with the reason; what was done is still said.
  if (Failed(status) && status != E_PHOTOS_NOT_RENAMED) return 1;
  // The closing line: what was done, or in a dry run what would be.
  std::uint16_t summary = renamed == 1 ? IDS_PHOTO_RENAMED : IDS_PHOTOS_RENAMED;
  if (dryRun) summary = renamed == 1 ? IDS_PHOTO_WOULD_BE_RENAMED : IDS_PHOTOS_WOULD_BE_RENAMED;
  CountedString text;
  CountedString count;
  if (Failed(LoadString(*session.App().Context().resourceModule, summary, text)) ||
      Failed(FormatUInt32(count, static_cast<std::uint32_t>(renamed))) ||
      Failed(SubstitutePlaceholder(text, 1, count))) {
    return 1;
  }
  std::printf("%s\n", Utf8(text.View()).c_str());
  return Failed(status) ? 1 : 0;
}

// Opens the folder and makes FILE the current photo.
int OpenOnPhoto(WorkflowSession& session, const std::string& folder, const std::string& file) {
  const int opened = session.Open(folder, kNavigateAll, false);
  if (opened != 0) return opened;
  const int index = session.FindPhoto(file);
  if (index < 0) {
    std::fprintf(ErrorOutput(), "lumatag-cli: no photo named %s in the list\n",
                 Escaped(ArgumentText(file)).c_str());
    return 1;
  }
  return Failed(session.Workflow().ChoosePhoto(index)) ? 1 : 0;
}

int RunRename(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--companions", false, false}, {"--no-companions", false, false}}, true);
  if (!reader.Read(args, 3, 3)) return UsageError("rename");
  const int companions = CompanionOption(reader);
  if (companions == -2) return UsageError("rename");
  const std::vector<std::string>& names = reader.Positional();
  WorkflowSession session(context);
  const int opened = OpenOnPhoto(session, names[0], names[1]);
  if (opened != 0) return opened;
  ApplyCompanionOption(session, companions);
  PhotoWorkflow& workflow = session.Workflow();
  workflow.onRenamed = [](std::u16string_view oldName, std::u16string_view newName) {
    PrintMove("", oldName, newName);
  };
  workflow.onCompanionRenamed = [](std::u16string_view oldName, std::u16string_view newName) {
    PrintMove("  ", oldName, newName);
  };
  workflow.NewNameEdited(ArgumentText(names[2]));
  const Status status = workflow.Rename();
  return Failed(status) ? 1 : 0;
}

int RunDelete(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({}, true);
  if (!reader.Read(args, 2, 2)) return UsageError("delete");
  WorkflowSession session(context);
  const int opened = OpenOnPhoto(session, reader.Positional()[0], reader.Positional()[1]);
  if (opened != 0) return opened;
  return Failed(session.Workflow().Delete()) ? 1 : 0;
}

}  // namespace

LT_CLI_COMMAND(scan, "scan", "[FOLDER]", RunScan);
LT_CLI_COMMAND(rename_remaining, "rename-remaining",
               "FOLDER --pattern-name NAME --base TEXT [--mode all|unnamed|named] [--from FILE] "
               "[--dry-run] [--yes] [--companions|--no-companions]",
               RunRenameRemaining);
LT_CLI_COMMAND(rename, "rename", "FOLDER FILE NEWNAME [--companions|--no-companions]", RunRename);
LT_CLI_COMMAND(delete, "delete", "FOLDER FILE", RunDelete);

}  // namespace lumatag::cli
