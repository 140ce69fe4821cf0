// lumatag-cli --version: the product name and version, "Lumatag 1.0.0".
//
// lumatag-cli update-check [--url URL]: the same check as the Check for Updates dialog's button,
// without dialogs. The document comes from URL, else from $LUMATAG_UPDATE_URL, else from the
// program's own address; "Update Check Last" is stored as after the dialog's check. Output,
// TAB-separated, texts escaped as in the string table (\n, \t, \\):
//   newer<TAB>VERSION<TAB>DOWNLOAD-LINK
//   version<TAB>VERSION<TAB>YYYY-MM-DD        one per history entry, in the document's order,
//   note<TAB>TEXT                             each followed by its notes
// or
//   up to date<TAB>OWN-VERSION
// or, exit status 1, the messages the dialog would show, one per line.
//
// This command needs Qt Network. It is built into the program lumatag-update-check, which
// lumatag-cli runs for it, so that no other command loads Qt at start-up.
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliCommon.h"
#include "app/cli/UpdateCheckCommand.h"
#include "platform/linux/HiveRegistryStore.h"
#include "ports/SettingsStore.h"
#include "update/OwnProduct.h"
#include "update/UpdateCheck.h"
#include "update/qt/QtDocumentFetcher.h"
#include "update/qt/QtXmlEventParser.h"

namespace lumatag::cli {

namespace {

class LocalClock final : public Clock {
 public:
  SystemTime LocalNow() const override {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return SystemTime{static_cast<std::uint16_t>(local.tm_year + 1900),
                      static_cast<std::uint16_t>(local.tm_mon + 1),
                      static_cast<std::uint16_t>(local.tm_wday),
                      static_cast<std::uint16_t>(local.tm_mday),
                      static_cast<std::uint16_t>(local.tm_hour),
                      static_cast<std::uint16_t>(local.tm_min),
                      static_cast<std::uint16_t>(local.tm_sec),
                      static_cast<std::uint16_t>(milliseconds)};
  }
};

// The boxes the check shows, kept to be printed as lines.
class CollectingPresenter final : public MessagePresenter {
 public:
  std::vector<std::u16string> errors;
  int Show(std::u16string_view text, std::u16string_view, std::uint32_t flags, bool) override {
    if ((flags & MB_ICONMASK) == MB_ICONERROR) errors.emplace_back(text);
    return IDOK;
  }
};

// Prints the newer version and its history in place of the Update Available dialog.
class PrintingView final : public UpdateAvailableView {
 public:
  Status Show(const VersionInfo& info, bool* created) override {
    *created = true;
    std::printf("newer\t%s\t%s\n", Escaped(info.LatestVersion().View()).c_str(),
                Escaped(info.LatestUrl().View()).c_str());
    for (const VersionHistoryEntry& entry : info.History()) {
      std::printf("version\t%s\t%04u-%02u-%02u\n", Escaped(entry.version.View()).c_str(),
                  entry.date.year, entry.date.month, entry.date.day);
      for (const CountedString& note : entry.notes) {
        std::printf("note\t%s\n", Escaped(note.View()).c_str());
      }
    }
    return S_OK;
  }
};

int RunUpdateCheck(CliContext& context, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--url", true}});
  if (!reader.Read(args, 0, 0) || (reader.Has("--url") && reader.Value("--url").empty())) {
    return UsageError("update-check");
  }
  const std::u16string url = Utf8ToUtf16(reader.Value("--url"));

  // Qt Network delivers its events through an application object.
  static int argc = 1;
  static char name[] = "lumatag-cli";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> application;
  if (QCoreApplication::instance() == nullptr) {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }

  CollectingPresenter presenter;
  MessagePresenter* previous = context.app.presenter;
  context.app.presenter = &presenter;
  QtXmlEventParser parser;
  QtDocumentFetcher fetcher;
  LocalClock clock;
  HiveRegistryStore registry(HiveRegistryStore::DefaultPath());
  SettingsStore store(registry, *context.app.programModule);
  PrintingView view;
  UpdateCheckEnvironment environment(context.app, parser, fetcher, clock);
  environment.store = &store;
  environment.view = &view;
  environment.productName = OwnProductName();
  environment.productVersion = OwnProductVersion();
  environment.url = url;
  UpdateCheckOutcome outcome = UpdateCheckOutcome::kFailed;
  const Status status = CheckForUpdates(environment, true, &outcome);
  context.app.presenter = previous;

  if (Failed(status)) {
    for (const std::u16string& text : presenter.errors) std::printf("%s\n", Escaped(text).c_str());
    return 1;
  }
  if (outcome == UpdateCheckOutcome::kUpToDate) {
    std::printf("up to date\t%s\n", Escaped(OwnProductVersion()).c_str());
  }
  return 0;
}

}  // namespace

LT_CLI_COMMAND(version, "--version", kVersionUsage, RunVersion);
LT_CLI_COMMAND(update_check, "update-check", kUpdateCheckUsage, RunUpdateCheck);

}  // namespace lumatag::cli
