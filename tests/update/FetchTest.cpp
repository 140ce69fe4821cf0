// The check over Qt Network against a server on 127.0.0.1 that the test starts: a newer version,
// up to date, 404, no server at all, a server that never answers, a document over the cap.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "LocalHttpServer.h"
#include "UpdateTestSupport.h"
#include "support/TestSupport.h"
#include "update/qt/QtDocumentFetcher.h"

namespace lumatag {
namespace {

class CountingView final : public UpdateAvailableView {
 public:
  int shows = 0;
  Status Show(const VersionInfo&, bool* created) override {
    ++shows;
    *created = true;
    return S_OK;
  }
};

class FetchTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "test_update";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) application_ = new QCoreApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete application_;
    application_ = nullptr;
  }

  Status Check(const std::string& url, bool interactive, UpdateCheckOutcome* outcome) {
    address_ = Utf8ToUtf16(url);
    UpdateCheckEnvironment environment(harness.app, harness.parser, fetcher, harness.clock);
    environment.store = &harness.store;
    environment.view = &view;
    environment.productName = u"Lumatag";
    environment.productVersion = u"1.2.2";
    environment.url = address_;
    return CheckForUpdates(environment, interactive, outcome);
  }

  static QCoreApplication* application_;
  UpdateHarness harness;
  QtDocumentFetcher fetcher{2000};
  CountingView view;
  std::u16string address_;
};

QCoreApplication* FetchTest::application_ = nullptr;

TEST_F(FetchTest, NewerVersionFromTheServer) {
  LocalHttpServer server(LocalHttpServer::Mode::kServe,
                         VersionDocument({"nm='Lumatag' ver='1.3.0' url='https://dl/'"}));
  UpdateCheckOutcome outcome = UpdateCheckOutcome::kFailed;
  EXPECT_OK(Check(server.Url(), false, &outcome));
  EXPECT_EQ(outcome, UpdateCheckOutcome::kNewer);
  EXPECT_EQ(view.shows, 1);
  EXPECT_TRUE(harness.Messages().empty());
  EXPECT_EQ(server.Requests(), 1);
}

TEST_F(FetchTest, UpToDateFromTheServer) {
  LocalHttpServer server(LocalHttpServer::Mode::kServe,
                         VersionDocument({"nm='Lumatag' ver='1.2.2' url='https://dl/'"}));
  UpdateCheckOutcome outcome = UpdateCheckOutcome::kFailed;
  EXPECT_OK(Check(server.Url(), true, &outcome));
  EXPECT_EQ(outcome, UpdateCheckOutcome::kUpToDate);
  EXPECT_EQ(harness.Messages(), std::vector<std::u16string>{Entry(IDS_UPDATE_UP_TO_DATE)});
}

// Each transport failure: one message from the loader with the transport's text, then 22120.
TEST_F(FetchTest, NotFound) {
  LocalHttpServer server(LocalHttpServer::Mode::kNotFound);
  UpdateCheckOutcome outcome = UpdateCheckOutcome::kNewer;
  EXPECT_STATUS(E_FILE_NOT_FOUND, Check(server.Url(), true, &outcome));
  EXPECT_EQ(outcome, UpdateCheckOutcome::kFailed);
  ASSERT_EQ(harness.Messages().size(), 2u);
  EXPECT_NE(harness.Messages()[0].find(u"Not Found"), std::u16string::npos)
      << Utf16ToUtf8(harness.Messages()[0]);
  EXPECT_EQ(harness.Messages()[1], Entry(IDS_ERR_UPDATE_CHECK));
}

TEST_F(FetchTest, ConnectionRefused) {
  const std::string url =
      "http://127.0.0.1:" + std::to_string(LocalHttpServer::ClosedPort()) + "/v.xml";
  EXPECT_STATUS(E_CONNECTION_REFUSED, Check(url, true, nullptr));
  ASSERT_EQ(harness.Messages().size(), 2u);
  EXPECT_EQ(harness.Messages()[1], Entry(IDS_ERR_UPDATE_CHECK));
  SystemTime last;
  EXPECT_TRUE(Failed(ReadLastUpdateCheck(harness.store, &last)));
}

TEST_F(FetchTest, ServerThatNeverAnswersTimesOutWhileBusy) {
  LocalHttpServer server(LocalHttpServer::Mode::kSilent);
  fetcher = QtDocumentFetcher(300);
  std::vector<bool> busy;
  fetcher.SetBusyHook([&](bool on) { busy.push_back(on); });
  EXPECT_STATUS(E_TRANSFER_TIMEOUT, Check(server.Url(), false, nullptr));
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  ASSERT_EQ(harness.Messages().size(), 1u);
  EXPECT_EQ(harness.Messages()[0].find(u"Line:"), std::u16string::npos);
}

TEST_F(FetchTest, DocumentOverTheCapIsNotReadOn) {
  LocalHttpServer server(LocalHttpServer::Mode::kServe, std::string(3 * 1024 * 1024, ' '));
  EXPECT_STATUS(E_DOCUMENT_TOO_LARGE, Check(server.Url(), false, nullptr));
  ASSERT_EQ(harness.Messages().size(), 1u);
  EXPECT_NE(harness.Messages()[0].find(Entry(IDS_BUFFER_TOO_SMALL)), std::u16string::npos);
}

TEST_F(FetchTest, OnlyHttpAndHttpsAreFetched) {
  std::string body = "untouched";
  FetchFailure failure;
  EXPECT_STATUS(E_INVALIDARG, fetcher.Fetch(u"file:///etc/hostname", 1024, &body, &failure));
  EXPECT_TRUE(body.empty());
  EXPECT_FALSE(failure.text.empty());
  EXPECT_STATUS(E_INVALIDARG, fetcher.Fetch(u"ftp://127.0.0.1/v.xml", 1024, &body, &failure));
}

}  // namespace
}  // namespace lumatag
