// The XML loader over the real parser: the name table, the events handed to a document handler,
// the one report per load with its line, column and context, and documents meant to hurt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpdateTestSupport.h"
#include "support/TestSupport.h"
#include "update/XmlLoader.h"

namespace lumatag {
namespace {

// Records the events; every known name is welcome anywhere.
class RecordingHandler final : public XmlDocumentHandler {
 public:
  std::vector<std::string> events;
  std::uint16_t cancelAtEndOf = 0;

  Status BeginElement(std::uint16_t id) override {
    events.push_back("begin " + Name(id));
    return S_OK;
  }
  Status EndElement(std::uint16_t id) override {
    events.push_back("end " + Name(id));
    return id == cancelAtEndOf ? E_CANCELLED : S_OK;
  }
  Status Attribute(std::uint16_t element, std::uint16_t attribute,
                   std::u16string_view value) override {
    events.push_back(Name(element) + "." + Name(attribute) + "=" + Utf16ToUtf8(value));
    return S_OK;
  }

 private:
  std::string Name(std::uint16_t id) const { return Utf16ToUtf8(Loader()->Names().NameOf(id)); }
};

TEST(XmlNameTableTest, KnowsTheDocumentNamesExactlyBothWays) {
  XmlNameTable table;
  ASSERT_OK(table.Fill(StringModule::BuiltIn()));
  // "cnt": u[0] + 2 × (u[2] + 2 × (u[0] + u[1])) = 99 + 2 × (116 + 2 × 209) = 1167 → 15.
  EXPECT_EQ(XmlNameTable::Bucket(u"cnt"), 15);
  for (std::uint16_t id = IDS_XML_CNT; id <= IDS_XML_VERS_LATEST; ++id) {
    EXPECT_EQ(table.Lookup(table.NameOf(id)), id);
  }
  EXPECT_EQ(table.Lookup(u"versiondata"), 0);
  EXPECT_EQ(table.Lookup(u"Ver"), 0);
  EXPECT_EQ(table.Lookup(u"ver "), 0);
  EXPECT_EQ(table.Lookup(u""), 0);
  EXPECT_EQ(table.NameOf(IDS_XML_NOTES), u"notes");
}

TEST(XmlLoaderTest, HandsElementsAndAttributesInOrderAndIgnoresText) {
  UpdateHarness harness;
  RecordingHandler handler;
  EXPECT_OK(harness.Load(
      "<?xml version='1.0'?><!-- c --><versionData>  stray words <?pi x?>\n"
      "<versLatest><ver nm='A' ver='1' url='u'>text</ver></versLatest><hists/></versionData>",
      handler));
  EXPECT_EQ(handler.events, (std::vector<std::string>{
                                "begin versionData", "begin versLatest", "begin ver", "ver.nm=A",
                                "ver.ver=1", "ver.url=u", "end ver", "end versLatest",
                                "begin hists", "end hists", "end versionData"}));
  EXPECT_TRUE(harness.Messages().empty());
}

TEST(XmlLoaderTest, UnknownRootIsOneMessageWithoutContext) {
  UpdateHarness harness;
  RecordingHandler handler;
  EXPECT_STATUS(E_FAIL, harness.Load("<catalog><ver/></catalog>", handler));
  ASSERT_EQ(harness.Messages().size(), 1u);
  const std::u16string text = harness.Messages()[0];
  EXPECT_EQ(text.rfind(u"Line: 1    Column: ", 0), 0u);
  EXPECT_EQ(text.find(u"Context"), std::u16string::npos);
  EXPECT_NE(text.find(u"\n\n" + Entry(IDS_XML_ELEMENT_NOT_EXPECTED, u"catalog") + u"\n\n" +
                      Entry(IDS_XML_ERROR_ABORTED)),
            std::u16string::npos);
  EXPECT_EQ(harness.presenter.shown[0].flags, MB_OK | MB_ICONERROR);
  EXPECT_TRUE(handler.events.empty());
}

TEST(XmlLoaderTest, UnknownAttributeNamesBothOpenElements) {
  UpdateHarness harness;
  RecordingHandler handler;
  EXPECT_STATUS(
      E_FAIL, harness.Load("<versionData>\n  <versLatest colour='red'/>\n</versionData>", handler));
  ASSERT_EQ(harness.Messages().size(), 1u);
  const std::u16string text = harness.Messages()[0];
  EXPECT_EQ(text.rfind(u"Line: 2    Column: ", 0), 0u);
  EXPECT_NE(text.find(u"\n\nContext: <versionData><versLatest>\n\n" +
                      Entry(IDS_XML_ATTRIBUTE_NOT_EXPECTED, u"colour") + u"\n\n"),
            std::u16string::npos);
}

TEST(XmlLoaderTest, MalformedDocumentIsOneMessageWithLineAndColumn) {
  UpdateHarness harness;
  RecordingHandler handler;
  const Status status =
      harness.Load("<versionData>\n<versLatest>\n</versionData>\n<hists/>", handler);
  EXPECT_STATUS(E_XML_NOT_WELL_FORMED, status);
  ASSERT_EQ(harness.Messages().size(), 1u);
  const std::u16string text = harness.Messages()[0];
  EXPECT_EQ(text.rfind(u"Line: 3    Column: ", 0), 0u) << Utf16ToUtf8(text);
  EXPECT_EQ(text.substr(text.size() - Entry(IDS_XML_ERROR_ABORTED).size()),
            Entry(IDS_XML_ERROR_ABORTED));
}

TEST(XmlLoaderTest, HandlerEndingTheLoadEarlyShowsNothing) {
  UpdateHarness harness;
  RecordingHandler handler;
  handler.cancelAtEndOf = IDS_XML_VERS_LATEST;
  // The rest would not even be well-formed: it is never read.
  EXPECT_STATUS(E_CANCELLED,
                harness.Load("<versionData><versLatest/><hists><broken</versionData>", handler));
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_EQ(handler.events.back(), "end versLatest");
}

TEST(XmlLoaderTest, EmptyAndMissingSourcesFail) {
  UpdateHarness harness;
  RecordingHandler handler;
  EXPECT_STATUS(E_XML_NOT_WELL_FORMED, harness.Load("", handler));
  EXPECT_EQ(harness.Messages().size(), 1u);

  XmlLoader loader(harness.app, harness.parser);
  EXPECT_STATUS(E_UNEXPECTED, ParseXml(loader));
  EXPECT_STATUS(E_INVALIDARG, InitXmlLoader(loader, nullptr));
  ASSERT_OK(InitXmlLoader(loader, &handler));
  EXPECT_STATUS(E_UNEXPECTED, InitXmlLoader(loader, &handler));
  EXPECT_STATUS(E_UNEXPECTED, ParseXml(loader));
  EXPECT_STATUS(E_FILE_NOT_FOUND, SetXmlSource(loader, u"/no/such/dir/doc.xml", false));
  // A web address needs a fetcher.
  ASSERT_OK(SetXmlSource(loader, u"https://example.invalid/doc.xml", true));
  EXPECT_STATUS(E_UNEXPECTED, ParseXml(loader));
}

TEST(XmlLoaderTest, FileSourceIsReadAndCapped) {
  UpdateHarness harness;
  TempDir dir;
  const std::string path = dir.File("doc.xml");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  std::fputs("<versionData><hists/></versionData>", file);
  std::fclose(file);
  RecordingHandler handler;
  {
    XmlLoader loader(harness.app, harness.parser);
    ASSERT_OK(InitXmlLoader(loader, &handler));
    ASSERT_OK(SetXmlSource(loader, Utf8ToUtf16(path), false));
    EXPECT_OK(ParseXml(loader));
  }
  EXPECT_EQ(handler.events.size(), 4u);
  XmlLoader small(harness.app, harness.parser, nullptr, XmlLoaderLimits{16, 32});
  ASSERT_OK(InitXmlLoader(small, &handler));
  EXPECT_STATUS(E_DOCUMENT_TOO_LARGE, SetXmlSource(small, Utf8ToUtf16(path), false));
}

struct CountCase {
  const char16_t* value;
  std::uint32_t maximum;
  Status status;
  std::uint32_t count;
};

class ParseCountAttributeTest : public testing::TestWithParam<CountCase> {};

TEST_P(ParseCountAttributeTest, ReadsOrDefaults) {
  const CountCase& c = GetParam();
  std::uint32_t count = 99;
  EXPECT_STATUS(c.status, ParseCountAttribute(c.value, c.maximum, &count));
  if (Succeeded(c.status)) {
    EXPECT_EQ(count, c.count);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ParseCountAttributeTest,
    testing::Values(
        CountCase{u"1", 15, S_OK, 1}, CountCase{u"15", 15, S_OK, 15},
        CountCase{u"75", 75, S_OK, 75}, CountCase{u"0", 15, SETTING_DEFAULTED, 5},
        CountCase{u"16", 15, SETTING_DEFAULTED, 5}, CountCase{u"76", 75, SETTING_DEFAULTED, 5},
        CountCase{u"4294967295", 75, SETTING_DEFAULTED, 5}, CountCase{u"", 15, E_INVALID_INPUT, 0},
        CountCase{u"4294967296", 15, E_INVALID_INPUT, 0}, CountCase{u"-1", 15, E_INVALID_INPUT, 0},
        CountCase{u" 3", 15, E_INVALID_INPUT, 0}, CountCase{u"3x", 15, E_INVALID_INPUT, 0}),
    LT_CASE_NAMES);

TEST(XmlLoaderTest, UrlSourceIsAColonAnywhereButAfterADriveLetter) {
  EXPECT_TRUE(IsUrlSource(u"https://host/doc.xml"));
  EXPECT_TRUE(IsUrlSource(u"file:doc.xml"));
  EXPECT_FALSE(IsUrlSource(u"C:\\docs\\doc.xml"));
  EXPECT_FALSE(IsUrlSource(u"/home/doc.xml"));
  EXPECT_TRUE(IsUrlSource(u"C:\\docs:stream"));
}

// Documents meant to exhaust memory or time: each ends with one message and a failure.
TEST(XmlLoaderHostileTest, DeepNestingStopsAtTheDepthCap) {
  UpdateHarness harness;
  RecordingHandler handler;
  std::string document;
  for (int i = 0; i < 100000; ++i) document += "<hists>";
  EXPECT_TRUE(Failed(harness.Load(document, handler)));
  ASSERT_EQ(harness.Messages().size(), 1u);
  EXPECT_NE(harness.Messages()[0].find(Entry(IDS_XML_ERROR_LOADING_ELEMENT, u"hists")),
            std::u16string::npos);
  EXPECT_LE(handler.events.size(), 32u);
}

TEST(XmlLoaderHostileTest, HugeDocumentIsRefusedBeforeParsing) {
  UpdateHarness harness;
  RecordingHandler handler;
  std::string document = "<versionData><versLatest><ver nm='";
  document.append(100u * 1024 * 1024, 'a');
  document += "'/></versLatest></versionData>";
  EXPECT_STATUS(E_DOCUMENT_TOO_LARGE, harness.Load(std::move(document), handler));
  ASSERT_EQ(harness.Messages().size(), 1u);
  EXPECT_NE(harness.Messages()[0].find(Entry(IDS_BUFFER_TOO_SMALL)), std::u16string::npos);
  EXPECT_TRUE(handler.events.empty());
}

TEST(XmlLoaderHostileTest, LongUnknownNameIsShownCut) {
  UpdateHarness harness;
  RecordingHandler handler;
  const std::string name(500000, 'q');
  EXPECT_TRUE(
      Failed(harness.Load("<versionData><versLatest " + name + "='1'/></versionData>", handler)));
  ASSERT_EQ(harness.Messages().size(), 1u);
  EXPECT_LT(harness.Messages()[0].size(), 1000u);
}

TEST(XmlLoaderHostileTest, EntityExpansionCannotBlowUp) {
  UpdateHarness harness;
  RecordingHandler handler;
  std::string document = "<?xml version='1.0'?>\n<!DOCTYPE versionData [\n<!ENTITY l0 'lol'>\n";
  for (int i = 1; i <= 9; ++i) {
    document += "<!ENTITY l" + std::to_string(i) + " '";
    for (int j = 0; j < 10; ++j) document += "&l" + std::to_string(i - 1) + ";";
    document += "'>\n";
  }
  document += "]>\n<versionData><versLatest><ver nm='&l9;'/></versLatest></versionData>";
  EXPECT_TRUE(Failed(harness.Load(document, handler)));
  EXPECT_EQ(harness.Messages().size(), 1u);
  for (const std::string& event : handler.events) EXPECT_LT(event.size(), 10000u);
}

}  // namespace
}  // namespace lumatag
