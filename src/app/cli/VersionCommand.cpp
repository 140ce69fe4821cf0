#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/UpdateCheckCommand.h"
#include "update/OwnProduct.h"

namespace lumatag::cli {

const char kVersionUsage[] = "(prints the product name and version: Lumatag 1.0.0)";
const char kUpdateCheckUsage[] =
    "[--url URL]\n"
    "      runs the update check without dialogs (document from URL, else\n"
    "      $LUMATAG_UPDATE_URL, else the built-in address) and prints, TAB-separated:\n"
    "      newer VERSION DOWNLOAD-LINK, then for each history entry\n"
    "      version VERSION YYYY-MM-DD and one line note TEXT per note;\n"
    "      or up to date OWN-VERSION; or the messages the check shows, one per line,\n"
    "      with exit status 1";

int RunVersion(CliContext&, const std::vector<std::string>& args) {
  if (!ArgumentReader({}).Read(args, 0, 0)) return UsageError("--version");
  std::printf("%s %s\n", Utf16ToUtf8(OwnProductName()).c_str(),
              Utf16ToUtf8(OwnProductVersion()).c_str());
  return 0;
}

}  // namespace lumatag::cli
