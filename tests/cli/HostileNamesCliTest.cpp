// lumatag-cli on names that are not plain text: control characters are printed escaped, and names
// that are not valid UTF-8 reach the file system byte for byte.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

namespace fs = std::filesystem;

class HostileNamesCliTest : public testing::Test {
 protected:
  HostileNamesCliTest() {
    fs::create_directories(home_.File("config"));
    fs::create_directories(home_.File("data"));
    fs::create_directories(home_.File("photos"));
  }

  std::string Photos() const { return home_.File("photos"); }

  void AddPhoto(const std::string& name, const std::string& taken,
                const std::string& description = "") {
    photo::PhotoBuilder builder;
    builder.Ascii(photo::Ifd::kExif, 0x9003, taken);
    if (!description.empty()) builder.Ascii(photo::Ifd::kPrimary, 0x010E, description);
    const photo::Bytes bytes = builder.Jpeg();
    std::ofstream(Photos() + "/" + name, std::ios::binary)
        << std::string(bytes.begin(), bytes.end());
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Photos())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  CliRun Run(const std::string& arguments, const std::string& input = "") const {
    return RunShell("printf '" + input +
                    "' | XDG_CONFIG_HOME=" + ShellQuoted(home_.File("config")) +
                    " XDG_DATA_HOME=" + ShellQuoted(home_.File("data")) + " " + LUMATAG_CLI + " " +
                    arguments + " 2>" + ShellQuoted(home_.File("stderr")));
  }
  std::string Stderr() const {
    std::ifstream in(home_.File("stderr"));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempDir home_;
};

// No byte of the output but tab and line feed is a control character.
void ExpectNoControlCharacters(const std::string& out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    EXPECT_FALSE((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
        << "byte " << static_cast<int>(c) << " at " << i << " of: " << out;
  }
}

TEST_F(HostileNamesCliTest, ScanAndMetadataEscapeEveryControlCharacter) {
  AddPhoto("IMG_0001.JPG", "2013:05:01 09:00:00");
  AddPhoto("a\x1b[2Jb.JPG", "2013:05:02 09:00:00");
  AddPhoto("forged\n1\tnamed.JPG", "2013:05:03 09:00:00");
  AddPhoto("back\\slash\x7f\xc2\x85.JPG", "2013:05:04 09:00:00");
  AddPhoto("raw\xff.JPG", "2013:05:05 09:00:00");
  AddPhoto("text\r.JPG", "2013:05:06 09:00:00", "line\nfeed\x1b[31m red");
  const CliRun run = Run("scan " + ShellQuoted(Photos()));
  EXPECT_EQ(run.status, 0) << Stderr();
  ExpectNoControlCharacters(run.out);
  // Ordinary names print as they are; each photo stays on one line.
  EXPECT_NE(run.out.find("\tIMG_0001.JPG\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\ta\\x1B[2Jb.JPG\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\tforged\\n1\\tnamed.JPG\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\tback\\\\slash\\x7F\\u0085.JPG\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\traw\\xFF.JPG\t"), std::string::npos) << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 6 + 2) << run.out;

  const CliRun metadata = Run("metadata " + ShellQuoted(Photos() + "/text\r.JPG"));
  EXPECT_EQ(metadata.status, 0) << Stderr();
  ExpectNoControlCharacters(metadata.out);
  EXPECT_NE(metadata.out.find("# " + Photos() + "/text\\x0D.JPG\n"), std::string::npos)
      << metadata.out;
  EXPECT_NE(metadata.out.find("line\\nfeed\\x1B[31m red"), std::string::npos) << metadata.out;

  // The usage text says how.
  const CliRun help = Run("--help");
  EXPECT_NE(help.out.find("\\xHH"), std::string::npos) << help.out;
}

TEST_F(HostileNamesCliTest, RenameLinesAreEscapedAndMetadataNeverPutsControlsInAName) {
  AddPhoto("a\x1b[2Jb\\c.JPG", "2013:05:01 09:00:00");
  AddPhoto("IMG_0002.JPG", "2013:05:02 09:00:00", "Sea\x1b[2J\nside");
  CliRun run =
      Run("rename " + ShellQuoted(Photos()) + " " + ShellQuoted("a\x1b[2Jb\\c.JPG") + " Beach");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out, "a\\x1B[2Jb\\\\c.JPG -> Beach.JPG\n");

  run = Run("rename-remaining " + ShellQuoted(Photos()) +
            " --pattern-name 'Hash sign & 3 digits' --mode unnamed --yes --base Trip");
  EXPECT_EQ(run.status, 0) << Stderr();
  ExpectNoControlCharacters(run.out);
  // A pattern that takes the description: its control characters become "_" in the name.
  run = Run("name --pattern '[metadata:ImageDescription]' --base x " +
            ShellQuoted(Photos() + "/Trip #001.JPG"));
  EXPECT_EQ(run.out, "Sea_[2J_side\n") << Stderr();
}

TEST_F(HostileNamesCliTest, ArgumentsThatAreNotUtf8ActOnThatFileOnly) {
  // "\xff" alone is not UTF-8; U+FFFD ("\xef\xbf\xbd") is what a lossy conversion would make.
  AddPhoto("IMG_0001\xff.JPG", "2013:05:01 09:00:00");
  AddPhoto("IMG_0001\xef\xbf\xbd.JPG", "2013:05:02 09:00:00");
  AddPhoto("IMG_0003.JPG", "2013:05:03 09:00:00");
  AddPhoto("IMG_0004\xfe.JPG", "2013:05:04 09:00:00", "Only this one");
  AddPhoto("IMG_0004\xef\xbf\xbd.JPG", "2013:05:05 09:00:00", "Not this one");
  CliRun run =
      Run("rename " + ShellQuoted(Photos()) + " " + ShellQuoted("IMG_0001\xff.JPG") + " Beach");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out, "IMG_0001\\xFF.JPG -> Beach.JPG\n");
  EXPECT_TRUE(fs::exists(Photos() + "/Beach.JPG"));
  EXPECT_TRUE(fs::exists(Photos() + "/IMG_0001\xef\xbf\xbd.JPG"));
  // A new name with such bytes is written as those bytes.
  run = Run("rename " + ShellQuoted(Photos()) + " IMG_0003.JPG " + ShellQuoted("Caf\xe9"));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(run.out, "IMG_0003.JPG -> Caf\\xE9.JPG\n");
  EXPECT_TRUE(fs::exists(Photos() + "/Caf\xe9.JPG"));
  // Reading one photo by its path.
  run = Run("metadata " + ShellQuoted(Photos() + "/IMG_0004\xfe.JPG"));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_NE(run.out.find("Only this one"), std::string::npos) << run.out;
  // Rename Remaining from such a photo, with such a base name.
  run = Run("rename-remaining " + ShellQuoted(Photos()) + " --from " +
            ShellQuoted("IMG_0004\xfe.JPG") +
            " --pattern-name 'Hash sign & 3 digits' --mode all --yes --base " +
            ShellQuoted("S\xe9"
                        "e"));
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_EQ(Files(),
            (std::vector<std::string>{"Beach.JPG", "Caf\xe9.JPG", "IMG_0001\xef\xbf\xbd.JPG",
                                      "S\xe9"
                                      "e #001.JPG",
                                      "S\xe9"
                                      "e #002.JPG"}));

  // A folder whose name is not UTF-8; a folder whose name is what a lossy conversion would make
  // holds a photo of the same name.
  const std::string odd = home_.File("odd\xfe");
  const std::string lossy = home_.File("odd\xef\xbf\xbd");
  fs::create_directories(odd);
  fs::create_directories(lossy);
  fs::copy_file(Photos() + "/Beach.JPG", lossy + "/Beach.JPG");
  fs::rename(Photos() + "/Beach.JPG", odd + "/Beach.JPG");
  run = Run("delete " + ShellQuoted(odd) + " Beach.JPG", "y\\n");
  EXPECT_EQ(run.status, 0) << Stderr();
  EXPECT_FALSE(fs::exists(odd + "/Beach.JPG"));
  EXPECT_TRUE(fs::exists(lossy + "/Beach.JPG"));
  EXPECT_TRUE(fs::exists(home_.File("data") + "/Trash/files/Beach.JPG"));
}

}  // namespace
}  // namespace lumatag
