// Pictures of the dialogs for a person to look at: with LUMATAG_DIALOG_PICTURES set to a folder,
// each dialog is drawn as it opens and saved there as a PNG. Without it the test is skipped.
#include <QApplication>
#include <QDir>
#include <QTest>

#include "dialogs/CrashLogDialog.h"
#include "dialogs/DialogWidgetTestSupport.h"
#include "dialogs/SettingsDialogs.h"
#include "dialogs/UpdateCheckDialogs.h"
#include "platform/fake/FixedClock.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "ports/SettingsStore.h"
#include "update/VersionInfo.h"
#include "update/qt/QtXmlEventParser.h"

namespace lumatag {
namespace {

class ServedDocument final : public DocumentFetcher {
 public:
  Status Fetch(std::u16string_view, std::size_t, std::string* body, FetchFailure*) override {
    *body =
        "<versionData><versLatest><ver nm=\"Lumatag\" ver=\"1.2.0\" "
        "url=\"https://www.quarrytreesoftware.com/software/lumatag/download.html\"/></versLatest>"
        "<hists><hist cnt=\"3\" nm=\"Lumatag\">"
        "<notes cnt=\"3\" ver=\"1.2.0\" dateHigh=\"31293734\" dateLow=\"3900276736\">"
        "<note desc=\"Folder scans run beside the window, which stays responsive.\"/>"
        "<note desc=\"German texts throughout, including the help pages and every message "
        "box.\"/><note desc=\"Fixes a rare crash when a photo vanished during a scan.\"/>"
        "</notes><notes cnt=\"1\" ver=\"1.1.0\" dateHigh=\"31200000\" dateLow=\"0\">"
        "<note desc=\"Photo file extensions can be reset to the defaults.\"/></notes>"
        "<notes cnt=\"1\" ver=\"1.0.0\" dateHigh=\"31100000\" dateLow=\"0\">"
        "<note desc=\"First release for Linux.\"/></notes></hist></hists></versionData>";
    return S_OK;
  }
};

class DialogPicturesTest : public DialogWidgetTest {
 public:
  void SetUp() override {
    folder_ = qEnvironmentVariable("LUMATAG_DIALOG_PICTURES");
    if (folder_.isEmpty()) GTEST_SKIP() << "LUMATAG_DIALOG_PICTURES is not set";
    QDir().mkpath(folder_);
  }
  ui::UiContext& Ui() { return ui_; }
  void Save(ui::DialogBase& dialog, const char* name) {
    ASSERT_TRUE(dialog.Start());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(50);
    const QString path = folder_ + "/" + name + ".png";
    EXPECT_TRUE(dialog.grab().save(path, "PNG")) << path.toStdString();
    dialog.reject();
  }
  QString folder_;
};

// Draws the Update Available dialog instead of running it.
class PictureView final : public UpdateAvailableView {
 public:
  PictureView(DialogPicturesTest& test, const DateLocale& locale) : test_(test), locale_(locale) {}
  Status Show(const VersionInfo& info, bool* created) override {
    UpdateAvailableModel model;
    LT_TRY(model.Build(info, StringModule::BuiltIn(), locale_));
    UpdateAvailableDialog dialog(test_.Ui(), nullptr, model, {});
    test_.Save(dialog, "update-available");
    *created = true;
    saved = true;
    return S_OK;
  }
  bool saved = false;

 private:
  DialogPicturesTest& test_;
  const DateLocale& locale_;
};

TEST_F(DialogPicturesTest, DrawsEveryDialog) {
  NamingSettings settings;
  settings.advanceAfterRename = false;
  OptionsModel options(settings);
  {
    OptionsDialog dialog(ui_, nullptr, options);
    Save(dialog, "options");
  }
  ExtensionList list;
  for (const auto* item : {u"JPE", u"JPG", u"TIF", u"heic"}) EXPECT_OK(list.Add(item));
  {
    ExtensionManagerModel model(list);
    ExtensionManagerDialog dialog(ui_, nullptr, runner_, model);
    Save(dialog, "extension-manager");
    ExtensionEditorModel editor(model.EditableList(), 1);
    ExtensionEditorDialog editorDialog(ui_, nullptr, editor);
    Save(editorDialog, "extension-editor");
  }
  {
    AboutContent content;
    ASSERT_OK(
        MakeAboutContent(StringModule::BuiltIn(), BuiltInProductInfo(), u"Lumatag", &content));
    AboutDialog dialog(ui_, nullptr, content, nullptr);
    Save(dialog, "about");
    ContactContent contact;
    ASSERT_OK(
        MakeContactContent(StringModule::BuiltIn(), BuiltInProductInfo(), u"Lumatag", &contact));
    ContactDialog contactDialog(ui_, nullptr, contact);
    Save(contactDialog, "contact");
  }
  {
    CrashLogDialogContent content;
    ASSERT_OK(MakeCrashLogDialogContent(
        StringModule::BuiltIn(),
        u"/home/someone/.local/state/Lumatag/crash-reports/LTGv1_20260301120000.dmp",
        BuiltInProductInfo(), &content));
    CrashLogDialog dialog(ui_, nullptr, content);
    Save(dialog, "crash-log");
  }
  DateLocale locale;
  ASSERT_OK(DateLocale::FromName("en-US", &locale));
  // The two update dialogs, over a check of a document with a newer version.
  MemoryRegistryStore registry;
  SettingsStore store(registry);
  QtXmlEventParser parser;
  ServedDocument fetcher;
  FixedClock clock(SystemTime{2026, 3, 0, 14, 9, 30, 5, 0});
  PictureView view(*this, locale);
  UpdateCheckEnvironment environment(context_, parser, fetcher, clock);
  environment.store = &store;
  environment.view = &view;
  environment.productName = u"Lumatag";
  environment.productVersion = u"1.0.0";
  environment.url = u"https://updates.example/versions.xml";
  ASSERT_OK(CheckForUpdates(environment, false));
  EXPECT_TRUE(view.saved);
  CheckForUpdatesDialogModel model(1);
  CheckForUpdatesDialog dialog(ui_, nullptr, model, environment, locale);
  Save(dialog, "check-for-updates");
}

}  // namespace
}  // namespace lumatag
