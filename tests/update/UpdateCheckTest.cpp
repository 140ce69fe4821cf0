// The whole check over a fetcher in memory: what is shown interactively and on schedule, when
// "Update Check Last" is stored, the schedule, the dialogs' models and the download link.
#include <gtest/gtest.h>

#include <cstdlib>

#include "UpdateTestSupport.h"
#include "metadata/PhotoFacts.h"
#include "support/TestSupport.h"
#include "update/UpdateDialogs.h"

namespace lumatag {
namespace {

class RecordingView final : public UpdateAvailableView {
 public:
  bool create = true;
  Status result = S_OK;
  int shows = 0;
  std::u16string version;

  Status Show(const VersionInfo& info, bool* created) override {
    ++shows;
    *created = create;
    version.assign(info.LatestVersion().View());
    return result;
  }
};

class UpdateCheckTest : public testing::Test {
 protected:
  UpdateCheckTest() { unsetenv(kUpdateUrlVariable); }

  UpdateCheckEnvironment Environment() {
    UpdateCheckEnvironment environment(harness.app, harness.parser, harness.fetcher, harness.clock);
    environment.store = &harness.store;
    environment.view = &view;
    environment.productName = u"Lumatag";
    environment.productVersion = u"1.2.2";
    return environment;
  }
  bool LastCheckStored() {
    SystemTime last;
    return Succeeded(ReadLastUpdateCheck(harness.store, &last)) &&
           CompareCalendarFields(last, harness.clock.now) == 0;
  }

  UpdateHarness harness;
  RecordingView view;
};

TEST_F(UpdateCheckTest, UpToDateIsToldOnlyWhenAsked) {
  harness.fetcher.document = VersionDocument({"nm='Lumatag' ver='1.2.2' url='https://dl/'"});
  for (const bool interactive : {true, false}) {
    harness.presenter.shown.clear();
    harness.registry.Root().subkeys.clear();
    UpdateCheckEnvironment environment = Environment();
    UpdateCheckOutcome outcome = UpdateCheckOutcome::kFailed;
    EXPECT_OK(CheckForUpdates(environment, interactive, &outcome));
    EXPECT_EQ(outcome, UpdateCheckOutcome::kUpToDate);
    if (interactive) {
      ASSERT_EQ(harness.Messages().size(), 1u);
      EXPECT_EQ(harness.Messages()[0], Entry(IDS_UPDATE_UP_TO_DATE));
      EXPECT_EQ(harness.presenter.shown[0].flags, MB_OK | MB_ICONINFORMATION);
    } else {
      EXPECT_TRUE(harness.Messages().empty());
    }
    EXPECT_TRUE(LastCheckStored());
  }
  EXPECT_EQ(view.shows, 0);
  EXPECT_EQ(harness.fetcher.fetched.back(), StringModule::BuiltIn().Text(IDS_VERSION_DOCUMENT_URL));
}

TEST_F(UpdateCheckTest, NewerVersionGoesToTheDialog) {
  harness.fetcher.document = VersionDocument({"nm='Lumatag' ver='1.3' url='https://dl/'"});
  UpdateCheckEnvironment environment = Environment();
  UpdateCheckOutcome outcome = UpdateCheckOutcome::kFailed;
  EXPECT_OK(CheckForUpdates(environment, false, &outcome));
  EXPECT_EQ(outcome, UpdateCheckOutcome::kNewer);
  EXPECT_EQ(view.shows, 1);
  EXPECT_EQ(view.version, u"1.3");
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_TRUE(LastCheckStored());
}

TEST_F(UpdateCheckTest, DialogThatCannotComeUpIsShownEvenOnSchedule) {
  harness.fetcher.document = VersionDocument({"nm='Lumatag' ver='1.3' url='https://dl/'"});
  view.create = false;
  view.result = E_OUTOFMEMORY;
  UpdateCheckEnvironment environment = Environment();
  EXPECT_STATUS(E_OUTOFMEMORY, CheckForUpdates(environment, false));
  EXPECT_EQ(harness.Messages(), std::vector<std::u16string>{Entry(IDS_DIALOG_NOT_SHOWN)});
  EXPECT_FALSE(LastCheckStored());

  harness.presenter.shown.clear();
  EXPECT_STATUS(E_OUTOFMEMORY, CheckForUpdates(environment, true));
  EXPECT_EQ(harness.Messages(), (std::vector<std::u16string>{Entry(IDS_DIALOG_NOT_SHOWN),
                                                             Entry(IDS_ERR_UPDATE_CHECK)}));
}

TEST_F(UpdateCheckTest, FailuresAreShownOnceAndNotRemembered) {
  harness.fetcher.failure = E_CONNECTION_REFUSED;
  harness.fetcher.failureText = u"Connection refused";
  UpdateCheckEnvironment environment = Environment();
  EXPECT_STATUS(E_CONNECTION_REFUSED, CheckForUpdates(environment, true));
  ASSERT_EQ(harness.Messages().size(), 2u);
  EXPECT_EQ(harness.Messages()[0], u"Connection refused\n\n" + Entry(IDS_XML_ERROR_ABORTED));
  EXPECT_EQ(harness.Messages()[1], Entry(IDS_ERR_UPDATE_CHECK));
  EXPECT_FALSE(LastCheckStored());

  harness.presenter.shown.clear();
  EXPECT_STATUS(E_CONNECTION_REFUSED, CheckForUpdates(environment, false));
  EXPECT_EQ(harness.Messages().size(), 1u);
}

TEST_F(UpdateCheckTest, DocumentWithoutThisProductFailsWith22120WhenAsked) {
  harness.fetcher.document = VersionDocument({"nm='Other' ver='1.0' url='https://o/'"});
  UpdateCheckEnvironment environment = Environment();
  EXPECT_STATUS(E_NOT_FOUND, CheckForUpdates(environment, true));
  EXPECT_EQ(harness.Messages(), std::vector<std::u16string>{Entry(IDS_ERR_UPDATE_CHECK)});
  harness.presenter.shown.clear();
  EXPECT_STATUS(E_NOT_FOUND, CheckForUpdates(environment, false));
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_FALSE(LastCheckStored());
}

TEST_F(UpdateCheckTest, AddressComesFromArgumentThenEnvironmentThenTable) {
  CountedString url;
  ASSERT_OK(VersionDocumentUrl(StringModule::BuiltIn(), {}, url));
  EXPECT_EQ(url.View().substr(0, 8), u"https://");
  EXPECT_TRUE(url.View().ends_with(u"/software/QuarrytreeSoftwareVersions.xml"));
  setenv(kUpdateUrlVariable, "http://127.0.0.1:9/v.xml", 1);
  ASSERT_OK(VersionDocumentUrl(StringModule::BuiltIn(), {}, url));
  EXPECT_EQ(url.View(), u"http://127.0.0.1:9/v.xml");
  ASSERT_OK(VersionDocumentUrl(StringModule::BuiltIn(), u"https://mirror/v.xml", url));
  EXPECT_EQ(url.View(), u"https://mirror/v.xml");
  setenv(kUpdateUrlVariable, "", 1);
  ASSERT_OK(VersionDocumentUrl(StringModule::BuiltIn(), {}, url));
  EXPECT_EQ(url.View(), StringModule::BuiltIn().Text(IDS_VERSION_DOCUMENT_URL));
  unsetenv(kUpdateUrlVariable);
}

struct DueCase {
  std::uint32_t period;
  bool haveLast;
  SystemTime now;
  bool due;
};

class ScheduleTest : public testing::TestWithParam<DueCase> {};

// Last check: 28 December 2026, 10:00.
constexpr SystemTime kLast{2026, 12, 1, 28, 10, 0, 0, 0};

TEST_P(ScheduleTest, DueWhenThePeriodHasPassed) {
  const DueCase& c = GetParam();
  EXPECT_EQ(IsUpdateCheckDue(c.period, c.haveLast ? &kLast : nullptr, c.now), c.due);

  // The same through the stored setting and the clock.
  UpdateHarness harness;
  if (c.haveLast) {
    ASSERT_OK(StoreLastUpdateCheck(harness.store, kLast));
  }
  harness.clock.now = c.now;
  int queued = 0;
  EXPECT_EQ(ScheduleUpdateCheck(harness.store, c.period, harness.clock, [&] { ++queued; }), c.due);
  EXPECT_EQ(queued, c.due ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Periods, ScheduleTest,
                         testing::Values(
                             // Weekly: due from 4 January of the next year at 10:00.
                             DueCase{1, true, {2027, 1, 1, 4, 9, 59, 59, 999}, false},
                             DueCase{1, true, {2027, 1, 1, 4, 10, 0, 0, 0}, true},
                             DueCase{1, true, {2026, 12, 1, 31, 23, 0, 0, 0}, false},
                             DueCase{0, true, {2026, 12, 2, 29, 10, 0, 0, 0}, true},
                             DueCase{0, true, {2026, 12, 2, 29, 9, 0, 0, 0}, false},
                             DueCase{2, true, {2027, 1, 1, 27, 10, 0, 0, 0}, true},
                             DueCase{2, true, {2027, 1, 1, 26, 10, 0, 0, 0}, false},
                             // Another stored period counts as weekly.
                             DueCase{9, true, {2027, 1, 1, 4, 10, 0, 0, 0}, true},
                             DueCase{9, true, {2027, 1, 1, 3, 10, 0, 0, 0}, false},
                             // Never: not even without a last check. Missing: due at once.
                             DueCase{3, true, {2030, 1, 1, 1, 0, 0, 0, 0}, false},
                             DueCase{3, false, {2027, 1, 1, 4, 10, 0, 0, 0}, false},
                             DueCase{1, false, {2026, 12, 1, 28, 10, 0, 0, 0}, true}),
                         LT_CASE_NAMES);

TEST(ScheduleStoreTest, UnreadableLastCheckIsDue) {
  UpdateHarness harness;
  SettingsKey key;
  ASSERT_OK(harness.store.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &key));
  ASSERT_OK(harness.store.SetDword(key, IDS_REG_UPDATE_CHECK_LAST, 5));
  SystemTime last;
  EXPECT_TRUE(Failed(ReadLastUpdateCheck(harness.store, &last)));
  EXPECT_TRUE(ScheduleUpdateCheck(harness.store, 1, harness.clock, {}));
  // Stored as eight bytes of a file time.
  ASSERT_OK(StoreLastUpdateCheck(harness.store, kLast));
  std::vector<std::uint8_t> bytes;
  ASSERT_OK(harness.store.GetBinary(key, IDS_REG_UPDATE_CHECK_LAST, &bytes));
  FileTime expected = 0;
  ASSERT_OK(SystemTimeToFileTime(kLast, &expected));
  ASSERT_EQ(bytes.size(), 8u);
  FileTime stored = 0;
  for (int i = 7; i >= 0; --i) stored = (stored << 8) | bytes[static_cast<std::size_t>(i)];
  EXPECT_EQ(stored, expected);
}

TEST(CheckForUpdatesDialogModelTest, ShowsNeverThenTheLastCheckAndKeepsThePeriod) {
  UpdateHarness harness;
  DateLocale english;
  ASSERT_OK(DateLocale::FromName("en_US", &english));
  CheckForUpdatesDialogModel model(1);
  ASSERT_OK(model.Refresh(harness.store, StringModule::BuiltIn(), english));
  EXPECT_EQ(model.LastCheckText(), u"Never");
  EXPECT_EQ(model.CheckedRadio(), kUpdateWeeklyRadio);

  harness.fetcher.document = VersionDocument({"nm='Lumatag' ver='1.0' url='https://dl/'"});
  harness.clock.now = SystemTime{2027, 1, 1, 4, 15, 7, 9, 0};
  UpdateCheckEnvironment environment(harness.app, harness.parser, harness.fetcher, harness.clock);
  environment.store = &harness.store;
  environment.productName = u"Lumatag";
  environment.productVersion = u"1.0";
  EXPECT_OK(model.CheckNow(environment, english));
  EXPECT_EQ(model.LastCheckText(), u"1/4/2027 3:07:09 PM");
  EXPECT_EQ(harness.Messages(), std::vector<std::u16string>{Entry(IDS_UPDATE_UP_TO_DATE)});

  model.ChooseRadio(kUpdateNeverRadio);
  EXPECT_EQ(model.CheckedRadio(), kUpdateNeverRadio);
  model.ChooseRadio(42);
  EXPECT_EQ(model.Period(), 3u);
  NamingSettings settings;
  bool changed = false;
  model.Close(settings, &changed);
  EXPECT_EQ(settings.updateCheckPeriod, 3u);
  EXPECT_TRUE(changed);
}

TEST(UpdateAvailableModelTest, LabelLinkAndHistoryRows) {
  UpdateHarness harness;
  VersionInfo info(u"Lumatag", u"1.2.2");
  // The load ends early, once this product's history has been read.
  EXPECT_STATUS(
      E_CANCELLED,
      harness.Load(VersionDocument({"nm='Lumatag' ver='1.3.1' url='https://dl/'"},
                                   "<hist cnt='2' nm='Lumatag'>"
                                   "<notes ver='1.3.0' dateHigh='31300775' dateLow='3035545600'>"
                                   "<note desc='One.'/><note desc='Two.'/></notes>"
                                   "<notes ver='1.2.2'/></hist>"),
                   info));
  DateLocale english;
  ASSERT_OK(DateLocale::FromName("en_US", &english));
  UpdateAvailableModel model;
  ASSERT_OK(model.Build(info, StringModule::BuiltIn(), english));
  // The label takes the first history entry, as the history tree does.
  EXPECT_EQ(model.VersionLabel(), u"Version 1.3.0 is available for download.");
  EXPECT_EQ(model.LinkText(), u"Download the latest version of Lumatag");
  EXPECT_EQ(model.DownloadUrl(), u"https://dl/");
  ASSERT_EQ(model.History().size(), 2u);
  EXPECT_EQ(model.History()[0].text, u"Version 1.3.0 (1/5/2027)");
  EXPECT_EQ(model.History()[0].notes, (std::vector<std::u16string>{u"One.", u"Two."}));
  EXPECT_EQ(model.History()[1].text, u"Version 1.2.2 (1/1/1601)");

  // No history for this product: the latest entry's version.
  UpdateHarness bare;
  VersionInfo latestOnly(u"Lumatag", u"1.2.2");
  EXPECT_OK(bare.Load(VersionDocument({"nm='Lumatag' ver='2.0' url='https://dl/'"}), latestOnly));
  ASSERT_OK(model.Build(latestOnly, StringModule::BuiltIn(), english));
  EXPECT_EQ(model.VersionLabel(), u"Version 2.0 is available for download.");
  EXPECT_TRUE(model.History().empty());
}

struct LinkCase {
  const char16_t* url;
  bool handedOn;
};

class DownloadLinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(DownloadLinkTest, OnlyWebPagesAreHandedToTheDesktop) {
  const LinkCase& c = GetParam();
  UpdateHarness harness;
  std::vector<std::u16string> opened;
  const Status status = OpenWebPage(harness.app, c.url, [&](std::u16string_view url) {
    opened.emplace_back(url);
    return S_OK;
  });
  EXPECT_EQ(Succeeded(status), c.handedOn);
  EXPECT_EQ(opened.size(), c.handedOn ? 1u : 0u);
  EXPECT_EQ(harness.Messages().size(), c.handedOn ? 0u : 1u);
  if (!c.handedOn) {
    EXPECT_EQ(harness.Messages()[0], Entry(IDS_ERR_WEB_PAGE));
  }
}

INSTANTIATE_TEST_SUITE_P(Links, DownloadLinkTest,
                         testing::Values(LinkCase{u"https://dl.example/lumatag", true},
                                         LinkCase{u"HTTP://dl.example/", true},
                                         LinkCase{u"", false}, LinkCase{u"https://", false},
                                         LinkCase{u"file:///etc/passwd", false},
                                         LinkCase{u"/usr/bin/xterm", false},
                                         LinkCase{u"C:\\Windows\\system32\\calc.exe", false},
                                         LinkCase{u"javascript:alert(1)", false},
                                         LinkCase{u"smb://host/share/setup.exe", false},
                                         LinkCase{u" https://dl.example/", false}),
                         LT_CASE_NAMES);

TEST(DownloadLinkTest, OpenerFailureShowsTheWebPageMessage) {
  UpdateHarness harness;
  EXPECT_STATUS(
      E_FAIL, OpenWebPage(harness.app, u"https://dl/", [](std::u16string_view) { return E_FAIL; }));
  EXPECT_EQ(harness.Messages(), std::vector<std::u16string>{Entry(IDS_ERR_WEB_PAGE)});
}

}  // namespace
}  // namespace lumatag
