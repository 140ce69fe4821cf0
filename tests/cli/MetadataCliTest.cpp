// lumatag-cli metadata: the line format of entries, the quick pass, and failures.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "CliRunner.h"

#include "photobuilder/PhotoBuilder.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

using photo::ByteOrder;
using photo::Ifd;
using photo::PhotoBuilder;

CliRun Metadata(const std::string& arguments) {
  // The quick pass reads the patterns of the settings: none here.
  static const TempDir config;
  return RunCli("metadata " + arguments, "XDG_CONFIG_HOME=" + ShellQuoted(config.path()));
}

class MetadataCliTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const photo::Bytes& bytes) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(photo::WriteFile(path, bytes));
    return path;
  }
  TempDir dir_;
};

TEST_F(MetadataCliTest, PrintsEveryEntryOfAFullPass) {
  PhotoBuilder photo(ByteOrder::kMotorola);
  photo.Short(Ifd::kPrimary, 0x0112, {6})
      .Ascii(Ifd::kPrimary, 0x010E, "a\\b\nc\td ")
      .Rational(Ifd::kExif, 0x829A, {{10, 1250}})
      .Ascii(Ifd::kExif, 0x9003, "2012:12:28 12:09:32")
      .Bytes8(Ifd::kExif, 0x927C, 7, photo::Bytes(40, 1))
      .Short(Ifd::kExif, 0xA40C, {1})
      .Short(Ifd::kGps, 0x0005, {0});
  const std::string path = Write("IMG_0001.JPG", photo.Jpeg());
  const CliRun run = Metadata("'" + path + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "# " + path + "\n" +
                         "0x010e\tImageDescription\t2\t9\ta\\\\b\\nc\\td\n"
                         "0x0112\tOrientation\t3\t1\tportrait\n"
                         "0x829a\tExposureTime\t5\t1\t1/125\n"
                         "0x9003\tDateTimeOriginal\t2\t20\t2012:12:28 12:09:32\n"
                         "0xa40c\t\t3\t1\tmacro\n");
}

TEST_F(MetadataCliTest, QuickPassPrintsOnlyTheQuickTags) {
  PhotoBuilder photo(ByteOrder::kIntel);
  photo.Short(Ifd::kPrimary, 0x0112, {1})
      .Ascii(Ifd::kPrimary, 0x010F, "NIKON")
      .Ascii(Ifd::kPrimary, 0x8298, "(c) Kim")
      .Ascii(Ifd::kExif, 0x9003, "2012:12:28 12:09:32")
      .Short(Ifd::kExif, 0x8827, {200});
  const std::string path = Write("IMG_0002.JPG", photo.Jpeg(photo::JpegOptions().App0()));
  const CliRun run = Metadata("--quick '" + path + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "# " + path + "\n" +
                         "0x0112\tOrientation\t3\t1\tlandscape\n"
                         "0x8298\tCopyright\t2\t8\t(c) Kim\n"
                         "0x8827\tISOSpeedRatings\t3\t1\t200\n"
                         "0x9003\tDateTimeOriginal\t2\t20\t2012:12:28 12:09:32\n");
}

TEST_F(MetadataCliTest, FailuresEndWithTheStatus) {
  PhotoBuilder photo(ByteOrder::kIntel);
  photo.Short(Ifd::kPrimary, 0x0112, {3}).Raw(Ifd::kExif, 0x9999, 11, 1, {0, 0, 0, 0});
  const std::string bad = Write("IMG_0003.TIF", photo.Tiff());
  const std::string text = Write("notes.txt", {'h', 'e', 'l', 'l', 'o'});
  const std::string missing = dir_.File("none.jpg");
  const CliRun run = Metadata("'" + bad + "' '" + text + "' '" + missing + "'");
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(run.out, "# " + bad + "\n" + "0x0112\tOrientation\t3\t1\tlandscape (rotated 180)\n" +
                         "! 0x8000ffff\n" + "# " + text + "\n! 0x80004001\n" + "# " + missing +
                         "\n! 0x80070002\n");
}

TEST_F(MetadataCliTest, NeedsAFile) {
  EXPECT_NE(Metadata("").status, 0);
  EXPECT_NE(Metadata("--quick").status, 0);
}

}  // namespace
}  // namespace lumatag
