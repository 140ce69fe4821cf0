// What lumatag-cli and lumatag-update-check share of the --version and update-check commands: the
// version command itself and the usage texts, so that both programs describe them alike.
#pragma once

#include <string>
#include <vector>

#include "app/cli/CliCommon.h"

namespace lumatag::cli {

extern const char kVersionUsage[];
extern const char kUpdateCheckUsage[];

// --version: prints the product name and version.
int RunVersion(CliContext& context, const std::vector<std::string>& args);

}  // namespace lumatag::cli
