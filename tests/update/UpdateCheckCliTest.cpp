// lumatag-cli --version and update-check: the output contract, against a server the test starts.
#include <gtest/gtest.h>

#include <algorithm>

#include "LocalHttpServer.h"
#include "UpdateTestSupport.h"
#include "cli/CliRunner.h"
#include "support/TestSupport.h"
#include "update/OwnProduct.h"

namespace lumatag {
namespace {

const std::string kVersion = Utf16ToUtf8(OwnProductVersion());

TEST(UpdateCheckCliTest, VersionPrintsNameAndVersion) {
  const CliRun run = RunCli("--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Lumatag " + kVersion + "\n");
  EXPECT_EQ(RunCli("--version extra").status, 2);
}

TEST(UpdateCheckCliTest, NewerPrintsVersionLinkAndHistory) {
  LocalHttpServer server(
      LocalHttpServer::Mode::kServe,
      VersionDocument({"nm='Lumatag' ver='99.0.1' url='https://dl.example/lumatag'"},
                      "<hist cnt='2' nm='Lumatag'>"
                      "<notes ver='99.0.1' dateHigh='31300775' dateLow='3035545600'>"
                      "<note desc='One.'/><note desc='Two&#9;tabbed&#10;lines'/></notes>"
                      "<notes ver='98.0' dateHigh='31293734' dateLow='3900276736'/></hist>"));
  TempDir config;
  const CliRun run = RunCli("update-check --url " + ShellQuoted(server.Url()),
                            "XDG_CONFIG_HOME=" + ShellQuoted(config.path()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "newer\t99.0.1\thttps://dl.example/lumatag\n"
            "version\t99.0.1\t2027-01-05\n"
            "note\tOne.\n"
            "note\tTwo\\ttabbed\\nlines\n"
            "version\t98.0\t2026-12-01\n");
  // The check is remembered as the dialog's check is.
  EXPECT_NE(RunCli("settings", "XDG_CONFIG_HOME=" + ShellQuoted(config.path()))
                .out.find("Update Check Last\tREG_BINARY"),
            std::string::npos);
}

TEST(UpdateCheckCliTest, UpToDateThroughTheEnvironmentVariable) {
  LocalHttpServer server(LocalHttpServer::Mode::kServe,
                         VersionDocument({"nm='LUMATAG' ver='" + kVersion + "' url='https://d/'"}));
  TempDir config;
  const CliRun run = RunCli("update-check", "XDG_CONFIG_HOME=" + ShellQuoted(config.path()) +
                                                " LUMATAG_UPDATE_URL=" + ShellQuoted(server.Url()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "up to date\t" + kVersion + "\n");
}

TEST(UpdateCheckCliTest, FailurePrintsTheMessagesAndExitsWithOne) {
  LocalHttpServer server(LocalHttpServer::Mode::kNotFound);
  TempDir config;
  const CliRun run = RunCli("update-check --url " + ShellQuoted(server.Url()),
                            "XDG_CONFIG_HOME=" + ShellQuoted(config.path()));
  EXPECT_EQ(run.status, 1);
  const std::string last = "An error occurred while checking for updates for Lumatag.\n";
  ASSERT_GT(run.out.size(), last.size());
  EXPECT_EQ(run.out.substr(run.out.size() - last.size()), last);
  // Two lines: the loader's report (its line breaks escaped) and the check's message.
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
  EXPECT_NE(run.out.find("Not Found"), std::string::npos);
  EXPECT_EQ(RunCli("settings", "XDG_CONFIG_HOME=" + ShellQuoted(config.path()))
                .out.find("Update Check Last"),
            std::string::npos);
}

TEST(UpdateCheckCliTest, BadArgumentsAreUsageErrors) {
  EXPECT_EQ(RunCli("update-check --url").status, 2);
  EXPECT_EQ(RunCli("update-check extra").status, 2);
  EXPECT_EQ(RunCli("update-check --url a --url b").status, 2);
}

}  // namespace
}  // namespace lumatag
