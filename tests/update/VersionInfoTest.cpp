// Reading the version document: version comparison, this product's latest entry and history, the
// rules on attributes, counts and dates, and the document the maker publishes.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "UpdateTestSupport.h"
#include "support/TestSupport.h"
#include "update/OwnProduct.h"
#include "update/VersionInfo.h"

namespace lumatag {
namespace {

struct CompareCase {
  const char16_t* own;
  const char16_t* document;
  bool newer;
};

class VersionCompareTest : public testing::TestWithParam<CompareCase> {};

TEST_P(VersionCompareTest, NumericByComponent) {
  const CompareCase& c = GetParam();
  bool newer = !c.newer;
  ASSERT_OK(IsNewerVersion(c.own, c.document, &newer));
  EXPECT_EQ(newer, c.newer);

  // The same through a document: a newer version reads on, any other ends after versLatest.
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", c.own);
  const Status status = harness.Load(
      VersionDocument({"nm='Lumatag' ver='" + Utf16ToUtf8(c.document) + "' url='https://x/'"}),
      info);
  EXPECT_STATUS(c.newer ? S_OK : E_CANCELLED, status);
  EXPECT_EQ(info.NewerAvailable(), c.newer);
  EXPECT_TRUE(harness.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionCompareTest,
    testing::Values(CompareCase{u"1.2.2", u"1.2.2", false}, CompareCase{u"1.2.2", u"1.2.10", true},
                    CompareCase{u"1.2.2", u"1.3", true}, CompareCase{u"1.2.2", u"1.2", false},
                    CompareCase{u"1.2.2", u"2", true}, CompareCase{u"1.2.2", u"1.2.2.9", false},
                    CompareCase{u"1.2.2", u"1..3", false}, CompareCase{u"1.0.0", u"1.0.1", true},
                    CompareCase{u"1.0", u"1.0.0", false}, CompareCase{u"10.0.0", u"9.99.99", false},
                    CompareCase{u"1.2.2", u"4294967295", true}),
    LT_CASE_NAMES);

TEST(VersionCompareTest, UnreadableVersionFailsTheLoadWithAMessage) {
  bool newer = false;
  EXPECT_TRUE(Failed(IsNewerVersion(u"1.0.0", u"1.0.x", &newer)));
  EXPECT_TRUE(Failed(IsNewerVersion(u"1.0.0", u"4294967296", &newer)));
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.0.0");
  EXPECT_TRUE(Failed(harness.Load(VersionDocument({"nm='Lumatag' ver='v2'"}), info)));
  ASSERT_EQ(harness.Messages().size(), 1u);
  EXPECT_NE(harness.Messages()[0].find(Entry(IDS_XML_ATTRIBUTE_VALUE_INVALID, u"ver")),
            std::u16string::npos);
}

const std::string kOurHistory =
    "<hist cnt='2' nm='Lumatag'>"
    "<notes cnt='2' ver='1.3.0' dateLow='3035545600' dateHigh='31300775'>"
    "<note desc='Faster scans.'/><note desc='Fixes.'/></notes>"
    "<notes cnt='1' dateHigh='31293734' dateLow='3900276736' ver='1.2.2'><note desc='First.'/>"
    "</notes></hist>";

TEST(VersionInfoTest, NewerVersionReadsThisProductsHistory) {
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.2.2");
  EXPECT_STATUS(E_CANCELLED,
                harness.Load(VersionDocument({"nm='Other' ver='9.0' url='https://o/'",
                                              "nm='lumaTAG' ver='1.3.0' url='https://dl/' "
                                              "dateHigh='31300775' dateLow='3035545600'",
                                              "nm='Lumatag' ver='7.0' url='https://late/'"},
                                             kOurHistory),
                             info));
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_EQ(info.Flags(),
            VersionInfo::kLatestFound | VersionInfo::kNewerAvailable | VersionInfo::kHistoryFound);
  EXPECT_EQ(info.LatestVersion().View(), u"1.3.0");
  EXPECT_EQ(info.LatestUrl().View(), u"https://dl/");
  EXPECT_EQ(info.LatestDate(), (SystemTime{2027, 1, 2, 5, 0, 0, 0, 0}));
  ASSERT_EQ(info.History().Count(), 2);
  EXPECT_EQ(info.History()[0].version.View(), u"1.3.0");
  EXPECT_EQ(info.History()[0].date, (SystemTime{2027, 1, 2, 5, 0, 0, 0, 0}));
  ASSERT_EQ(info.History()[0].notes.Count(), 2);
  EXPECT_EQ(info.History()[0].notes[1].View(), u"Fixes.");
  EXPECT_EQ(info.History()[1].date, (SystemTime{2026, 12, 2, 1, 0, 0, 0, 0}));
}

TEST(VersionInfoTest, OtherProductsHistoriesBeforeOursLeaveNothingBehind) {
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.2.2");
  const std::string others =
      "<hist cnt='3' nm='Other'><notes cnt='1' ver='5.0'><note desc='Not ours.'/></notes>"
      "<notes ver='4.0' url='misplaced'/></hist>"
      "<hist nm='Third'><notes/></hist>";
  // Our history without a count: the other products' entries must still not show.
  const std::string ours =
      "<hist nm='Lumatag'><notes ver='1.3.0'><note desc='Ours.'/></notes></hist>";
  EXPECT_STATUS(
      E_CANCELLED,
      harness.Load(VersionDocument({"nm='Lumatag' ver='1.3.0' url='https://dl/'"}, others + ours),
                   info));
  EXPECT_TRUE(harness.Messages().empty());
  ASSERT_EQ(info.History().Count(), 1);
  EXPECT_EQ(info.History()[0].version.View(), u"1.3.0");
  ASSERT_EQ(info.History()[0].notes.Count(), 1);
  EXPECT_EQ(info.History()[0].notes[0].View(), u"Ours.");
}

TEST(VersionInfoTest, CountsOutsideTheirRangeAreTreatedAsFive) {
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.2.2");
  EXPECT_STATUS(E_CANCELLED,
                harness.Load(VersionDocument({"nm='Lumatag' ver='1.3' url='https://dl/'"},
                                             "<hist cnt='0' nm='X'/><hist cnt='16' nm='Lumatag'>"
                                             "<notes cnt='76' ver='1.3'><note desc='a'/></notes>"
                                             "<notes cnt='0' ver='1.2'/></hist>"),
                             info));
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_EQ(info.History().Count(), 2);
}

TEST(VersionInfoTest, VersLatestWithoutThisProductIsNotFound) {
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.2.2");
  EXPECT_STATUS(
      E_NOT_FOUND,
      harness.Load(VersionDocument({"nm='Lumatag Pro' ver='3.0' url='https://p/'"}, kOurHistory),
                   info));
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_EQ(info.Flags(), 0u);

  // Without any versLatest the document says nothing about this product either.
  UpdateHarness bare;
  VersionInfo nothing(u"Lumatag", u"1.2.2");
  EXPECT_STATUS(E_NOT_FOUND, bare.Load("<versionData><hists/></versionData>", nothing));
}

TEST(VersionInfoTest, EntriesDoNotBorrowAnotherProductsValues) {
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.2.2");
  // Our entry has no version of its own: it must not take the other product's 9.0.
  EXPECT_STATUS(E_CANCELLED, harness.Load(VersionDocument({"ver='9.0' nm='Other' url='https://o/'",
                                                           "nm='Lumatag' url='https://dl/'"}),
                                          info));
  EXPECT_FALSE(info.NewerAvailable());
}

struct ProblemCase {
  std::string document;
  std::u16string message;
  std::u16string context;  // empty: no context line
};

class VersionDocumentProblemTest : public testing::TestWithParam<ProblemCase> {};

TEST_P(VersionDocumentProblemTest, OneMessageAndTheLoadFails) {
  const ProblemCase& c = GetParam();
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.0.0");
  const Status status = harness.Load(c.document, info);
  EXPECT_TRUE(Failed(status) && status != E_CANCELLED) << StatusName(status);
  ASSERT_EQ(harness.Messages().size(), 1u);
  const std::u16string text = harness.Messages()[0];
  EXPECT_NE(text.find(u"\n\n" + c.message + u"\n\n"), std::u16string::npos) << Utf16ToUtf8(text);
  if (c.context.empty()) {
    EXPECT_EQ(text.find(u"Context: "), std::u16string::npos) << Utf16ToUtf8(text);
  } else {
    EXPECT_NE(text.find(u"Context: " + c.context + u"\n\n"), std::u16string::npos)
        << Utf16ToUtf8(text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Problems, VersionDocumentProblemTest,
    testing::Values(
        ProblemCase{"<versions/>", Entry(IDS_XML_ELEMENT_NOT_EXPECTED, u"versions"), u""},
        ProblemCase{"<ver/>", Entry(IDS_XML_ERROR_LOADING_ELEMENT, u"ver"), u""},
        ProblemCase{"<versionData><versLatest foo='1'/></versionData>",
                    Entry(IDS_XML_ATTRIBUTE_NOT_EXPECTED, u"foo"), u"<versionData><versLatest>"},
        ProblemCase{"<versionData nm='x'/>", Entry(IDS_XML_ATTRIBUTE_NOT_EXPECTED, u"nm"),
                    u"<versionData>"},
        // A misplaced element; the unfinished document after it is not reported.
        ProblemCase{"<versionData><hists><note desc='x'/>",
                    Entry(IDS_XML_ERROR_LOADING_ELEMENT, u"note"), u"<versionData><hists>"},
        ProblemCase{"<versionData><nm/></versionData>", Entry(IDS_XML_ERROR_LOADING_ELEMENT, u"nm"),
                    u"<versionData>"},
        ProblemCase{VersionDocument({"nm='Lumatag' url=''"}),
                    Entry(IDS_XML_ATTRIBUTE_VALUE_INVALID, u"url"),
                    u"<versionData><versLatest><ver>"},
        ProblemCase{VersionDocument({"nm='Lumatag' desc='x'"}),
                    Entry(IDS_XML_ATTRIBUTE_NOT_EXPECTED, u"desc"),
                    u"<versionData><versLatest><ver>"},
        ProblemCase{VersionDocument({"nm='Lumatag' dateHigh='soon'"}),
                    Entry(IDS_XML_ERROR_LOADING_ATTRIBUTE, u"dateHigh"),
                    u"<versionData><versLatest><ver>"},
        ProblemCase{VersionDocument({"nm='Lumatag' ver='2.0'"}, "<hist cnt='' nm='Lumatag'/>"),
                    Entry(IDS_XML_ATTRIBUTE_VALUE_INVALID, u"cnt"), u"<versionData><hists><hist>"},
        ProblemCase{VersionDocument({"nm='Lumatag' ver='2.0'"},
                                    "<hist nm='Lumatag'><notes cnt='many'/></hist>"),
                    Entry(IDS_XML_ATTRIBUTE_VALUE_INVALID, u"cnt"),
                    u"<versionData><hists><hist><notes>"}),
    LT_CASE_NAMES);

TEST(VersionInfoTest, DateHalvesComeInEitherOrder) {
  SystemTime a;
  SystemTime b;
  FileTime at = 0;
  FileTime bt = 0;
  ASSERT_OK(SetDateHalf(at, a, true, u"31300775"));
  ASSERT_OK(SetDateHalf(at, a, false, u"3035545600"));
  ASSERT_OK(SetDateHalf(bt, b, false, u"3035545600"));
  ASSERT_OK(SetDateHalf(bt, b, true, u"31300775"));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, (SystemTime{2027, 1, 2, 5, 0, 0, 0, 0}));
  EXPECT_STATUS(E_INVALID_INPUT, SetDateHalf(at, a, true, u""));
  // Past the calendar's end: nothing changes.
  EXPECT_TRUE(Failed(SetDateHalf(at, a, true, u"4294967295")));
  EXPECT_EQ(a, b);
}

TEST(PublishedVersionDocumentTest, LoadsAndThisBuildIsNotOlder) {
  std::ifstream file(LUMATAG_VERSION_DOCUMENT_FILE, std::ios::binary);
  ASSERT_TRUE(file.good());
  std::stringstream text;
  text << file.rdbuf();
  UpdateHarness harness;
  VersionInfo info(OwnProductName(), OwnProductVersion());
  const Status status = harness.Load(text.str(), info);
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_STATUS(E_CANCELLED, status);
  EXPECT_TRUE((info.Flags() & VersionInfo::kLatestFound) != 0);
  EXPECT_FALSE(info.NewerAvailable());
  EXPECT_EQ(info.LatestVersion().View(), OwnProductVersion());

  // Read as a newer build sees it: the history is complete.
  UpdateHarness older;
  VersionInfo past(OwnProductName(), u"0.0.1");
  EXPECT_STATUS(E_CANCELLED, older.Load(text.str(), past));
  EXPECT_TRUE(older.Messages().empty());
  ASSERT_GE(past.History().Count(), 1);
  EXPECT_EQ(past.History()[0].version.View(), OwnProductVersion());
  EXPECT_TRUE(IsWebPageUrl(past.LatestUrl().View()));
}

}  // namespace
}  // namespace lumatag
