// Options, the Photo File Extension Manager and Editor, About and Contact as a person uses them:
// clicks and typing on the widgets, with the message boxes and the editor scripted.
#include <QTest>

#include "dialogs/DialogWidgetTestSupport.h"
#include "dialogs/SettingsDialogs.h"
#include "foundation/StringIds.h"
#include "ui/QtText.h"

namespace lumatag {
namespace {

using ui::ToQString;
using ui::ToU16;

constexpr OptionBox kAllBoxes[] = {OptionBox::kAdvanceAfterRename, OptionBox::kBaseOnLast,
                                   OptionBox::kStatusTones,        OptionBox::kRenameCompanions,
                                   OptionBox::kShowPreview,        OptionBox::kShowTooltips};

// ------------------------------------------------------------------------------------------------
// Options

using OptionsDialogTest = DialogWidgetTest;

TEST_F(OptionsDialogTest, ShowsTheSettingsInTwoGroupsWithTheirTexts) {
  NamingSettings settings;
  settings.fileCheckBeeps = false;
  settings.showWindowTips = false;
  OptionsModel model(settings);
  runner_.Then([](ui::DialogBase& dialog) {
    auto& options = As<OptionsDialog>(dialog);
    EXPECT_EQ(options.windowTitle(), "Options");
    EXPECT_EQ(options.HelpContext(), 47);
    EXPECT_EQ(options.Box(OptionBox::kAdvanceAfterRename)->text(),
              "&Automatically advance to next photo after naming");
    EXPECT_TRUE(options.Box(OptionBox::kAdvanceAfterRename)->isChecked());
    EXPECT_FALSE(options.Box(OptionBox::kStatusTones)->isChecked());
    EXPECT_FALSE(options.Box(OptionBox::kShowTooltips)->isChecked());
    EXPECT_EQ(options.Box(OptionBox::kShowPreview)->toolTip(),
              "When checked a preview of the current photo will be shown.");
    options.reject();
  });
  EXPECT_EQ(ui::RunDialog(runner_, *std::make_unique<OptionsDialog>(ui_, nullptr, model)),
            E_CANCELLED);
}

TEST_F(OptionsDialogTest, DefaultToSamePatternFollowsAutomaticAdvanceAndKeepsItsTick) {
  for (const bool advance : {true, false}) {
    NamingSettings settings;
    settings.advanceAfterRename = advance;
    settings.baseOnLast = true;
    OptionsModel model(settings);
    OptionsDialog dialog(ui_, nullptr, model);
    ASSERT_TRUE(dialog.Start());
    QCheckBox* advanceBox = dialog.Box(OptionBox::kAdvanceAfterRename);
    QCheckBox* sameBox = dialog.Box(OptionBox::kBaseOnLast);
    EXPECT_EQ(sameBox->isEnabled(), advance);
    advanceBox->click();
    EXPECT_EQ(sameBox->isEnabled(), !advance);
    EXPECT_TRUE(sameBox->isChecked());
    advanceBox->click();
    EXPECT_EQ(sameBox->isEnabled(), advance);
    EXPECT_TRUE(sameBox->isChecked());
    // A click on the disabled box changes nothing.
    if (!advance) {
      QTest::mouseClick(sameBox, Qt::LeftButton);
      EXPECT_TRUE(sameBox->isChecked());
      EXPECT_EQ(model.ChangedBits() & kChangedBaseOnLast, 0u);
    }
    dialog.reject();
  }
}

TEST_F(OptionsDialogTest, EveryClickGoesIntoTheCopyAndOkEndsWithIt) {
  NamingSettings settings;
  OptionsModel model(settings);
  runner_.Then([](ui::DialogBase& dialog) {
    auto& options = As<OptionsDialog>(dialog);
    // "Default to same pattern..." first, while it is still enabled.
    options.Box(OptionBox::kBaseOnLast)->click();
    for (const OptionBox box : kAllBoxes) {
      if (box != OptionBox::kBaseOnLast) options.Box(box)->click();
    }
    options.accept();
  });
  ASSERT_OK(ui::RunDialog(runner_, *std::make_unique<OptionsDialog>(ui_, nullptr, model)));
  EXPECT_EQ(model.ChangedBits(), kOptionsChangedMask);
  const OptionValues& values = model.Copy();
  EXPECT_FALSE(values.advanceAfterRename || values.baseOnLast || values.fileCheckBeeps ||
               values.showFilePreview || values.showWindowTips || values.renameCompanions);
  // The settings the dialog was opened on are untouched until the main window applies the copy.
  EXPECT_TRUE(settings.advanceAfterRename && settings.fileCheckBeeps && settings.showWindowTips);
}

// ------------------------------------------------------------------------------------------------
// Photo File Extension Manager and Editor

ExtensionList ListOf(std::initializer_list<std::u16string_view> items) {
  ExtensionList list;
  for (const std::u16string_view item : items) EXPECT_OK(list.Add(item));
  return list;
}

std::vector<std::u16string> Items(const ExtensionList& list) {
  std::vector<std::u16string> items;
  for (int i = 0; i < list.Count(); ++i) items.emplace_back(list.At(i));
  return items;
}

std::vector<std::u16string> Rows(const QListWidget* list) {
  std::vector<std::u16string> rows;
  for (int i = 0; i < list->count(); ++i) rows.push_back(ToU16(list->item(i)->text()));
  return rows;
}

struct TypedCase {
  std::u16string typed;
  std::uint16_t message;                 // 0: accepted
  std::vector<std::u16string> expected;  // the list after the manager closed
};

class ExtensionTypedTest : public DialogWidgetTest,
                           public testing::WithParamInterface<TypedCase> {};

// "&Add..." with the text typed into the editor: refused with its message (the editor stays open
// with all its text selected, then is cancelled and the new entry goes), or taken in cleaned form.
TEST_P(ExtensionTypedTest, AddThroughTheEditor) {
  const TypedCase& c = GetParam();
  const ExtensionList current = ListOf({u"jpg", u"TIF"});
  runner_.Then([](ui::DialogBase& dialog) {
    auto& manager = As<ExtensionManagerDialog>(dialog);
    manager.AddButton()->click();
    manager.CloseButton()->click();
  });
  runner_.Then([this, c](ui::DialogBase& dialog) {
    auto& editor = As<ExtensionEditorDialog>(dialog);
    EXPECT_EQ(editor.windowTitle(), "Photo File Extension Editor");
    EXPECT_TRUE(editor.Edit()->text().isEmpty());
    QTest::keyClicks(editor.Edit(), ToQString(c.typed));
    QTest::keyClick(editor.Edit(), Qt::Key_Return);
    EXPECT_EQ(editor.Ended(), c.message == 0);
    if (c.message != 0) {
      ASSERT_EQ(presenter_.shown.size(), 1u);
      EXPECT_EQ(presenter_.shown[0].text, TableText(c.message));
      EXPECT_EQ(editor.Edit()->selectedText(), editor.Edit()->text());
      editor.reject();
    }
  });
  ExtensionList edited;
  bool changed = true;
  ASSERT_OK(RunExtensionManager(runner_, ui_, nullptr, current, &edited, &changed));
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_EQ(Items(edited), c.expected);
  EXPECT_EQ(changed, c.message == 0);
  if (c.message == 0) {
    EXPECT_TRUE(presenter_.shown.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionTypedTest,
    testing::Values(TypedCase{u".jpe", 0, {u"jpe", u"jpg", u"TIF"}},
                    TypedCase{u"..png", 0, {u"jpg", u"png", u"TIF"}},
                    TypedCase{u"  raw  ", 0, {u"jpg", u"raw", u"TIF"}},
                    TypedCase{u"jp.g", IDS_ERR_EXTENSION_PERIOD, {u"jpg", u"TIF"}},
                    TypedCase{u" .jpg", IDS_ERR_EXTENSION_PERIOD, {u"jpg", u"TIF"}},
                    TypedCase{u"JPG", IDS_ERR_EXTENSION_DUPLICATE, {u"jpg", u"TIF"}},
                    TypedCase{u"...", IDS_ERR_EXTENSION_EMPTY, {u"jpg", u"TIF"}},
                    TypedCase{u"", IDS_ERR_EXTENSION_EMPTY, {u"jpg", u"TIF"}},
                    TypedCase{u"j?g", IDS_ERR_EXTENSION_INVALID_CHARACTER, {u"jpg", u"TIF"}}));

using ExtensionManagerTest = DialogWidgetTest;

TEST_F(ExtensionManagerTest, OpensOnTheFirstLineWithItsButtonsAndTexts) {
  const ExtensionList current = ListOf({u"tif", u"jpg", u"jpe"});
  runner_.Then([](ui::DialogBase& dialog) {
    auto& manager = As<ExtensionManagerDialog>(dialog);
    EXPECT_EQ(manager.windowTitle(), "Photo File Extension Manager");
    EXPECT_EQ(manager.HelpContext(), 45);
    EXPECT_EQ(Rows(manager.List()), (std::vector<std::u16string>{u"jpe", u"jpg", u"tif"}));
    EXPECT_EQ(manager.List()->currentRow(), 0);
    EXPECT_TRUE(manager.ModifyButton()->isDefault());
    EXPECT_TRUE(manager.ModifyButton()->isEnabled());
    EXPECT_TRUE(manager.DeleteButton()->isEnabled());
    EXPECT_EQ(manager.ResetButton()->toolTip(),
              "Click this button to return to the default list of file extensions.");
  });
  ExtensionList edited;
  bool changed = true;
  ASSERT_OK(RunExtensionManager(runner_, ui_, nullptr, current, &edited, &changed));
  // Closed without a change (even by Escape): the list comes back as it was, marked unchanged.
  EXPECT_FALSE(changed);
  EXPECT_EQ(Items(edited), Items(current));
}

TEST_F(ExtensionManagerTest, ModifyKeepsTheEditedLineSelectedAndMayKeepItsOwnText) {
  const ExtensionList current = ListOf({u"jpe", u"jpg", u"tif"});
  runner_.Then([](ui::DialogBase& dialog) {
    auto& manager = As<ExtensionManagerDialog>(dialog);
    manager.List()->setCurrentRow(1);  // jpg
    manager.ModifyButton()->click();   // to "JPG": only its own letter case changes
    EXPECT_EQ(manager.List()->currentItem()->text(), "JPG");
    manager.List()->setCurrentRow(0);  // jpe
    manager.ModifyButton()->click();   // to "zzz": re-filed at the end, still selected
    EXPECT_EQ(Rows(manager.List()), (std::vector<std::u16string>{u"JPG", u"tif", u"zzz"}));
    EXPECT_EQ(manager.List()->currentRow(), 2);
  });
  runner_.Then([](ui::DialogBase& dialog) {
    auto& editor = As<ExtensionEditorDialog>(dialog);
    EXPECT_EQ(editor.Edit()->text(), "jpg");
    editor.Edit()->setText("JPG");
    editor.accept();
  });
  runner_.Then([](ui::DialogBase& dialog) {
    auto& editor = As<ExtensionEditorDialog>(dialog);
    editor.Edit()->setText("zzz");
    editor.accept();
  });
  ExtensionList edited;
  bool changed = false;
  ASSERT_OK(RunExtensionManager(runner_, ui_, nullptr, current, &edited, &changed));
  EXPECT_TRUE(runner_.AllRan());
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_TRUE(changed);
  EXPECT_EQ(Items(edited), (std::vector<std::u16string>{u"JPG", u"tif", u"zzz"}));
}

TEST_F(ExtensionManagerTest, DeleteAsksAndTheLastExtensionCannotBeDeleted) {
  const ExtensionList current = ListOf({u"jpe", u"jpg"});
  presenter_.Answer(IDNO);
  presenter_.Answer(IDYES);
  runner_.Then([this](ui::DialogBase& dialog) {
    auto& manager = As<ExtensionManagerDialog>(dialog);
    manager.List()->setCurrentRow(1);
    manager.DeleteButton()->click();  // No
    EXPECT_EQ(manager.List()->count(), 2);
    manager.DeleteButton()->click();  // Yes: the new last line is selected
    EXPECT_EQ(Rows(manager.List()), std::vector<std::u16string>{u"jpe"});
    EXPECT_EQ(manager.List()->currentRow(), 0);
    EXPECT_FALSE(manager.DeleteButton()->isEnabled());
    EXPECT_TRUE(manager.ModifyButton()->isEnabled());
    EXPECT_TRUE(manager.isEnabled());
    ASSERT_EQ(presenter_.shown.size(), 2u);
    EXPECT_EQ(presenter_.shown[0].text,
              u"Are you sure you want to delete the photo file extension \"jpg\"?");
    EXPECT_EQ(presenter_.shown[0].flags & MB_DEFMASK, MB_DEFBUTTON2);
  });
  ExtensionList edited;
  bool changed = false;
  ASSERT_OK(RunExtensionManager(runner_, ui_, nullptr, current, &edited, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(Items(edited), std::vector<std::u16string>{u"jpe"});
}

TEST_F(ExtensionManagerTest, ResetReplacesTheListWithTheDefaultsAfterYes) {
  const ExtensionList current = ListOf({u"png"});
  presenter_.Answer(IDNO);
  presenter_.Answer(IDYES);
  runner_.Then([](ui::DialogBase& dialog) {
    auto& manager = As<ExtensionManagerDialog>(dialog);
    manager.ResetButton()->click();
    EXPECT_EQ(Rows(manager.List()), std::vector<std::u16string>{u"png"});
    manager.ResetButton()->click();
    EXPECT_EQ(Rows(manager.List()), (std::vector<std::u16string>{u"JPE", u"JPG", u"TIF"}));
    EXPECT_EQ(manager.List()->currentRow(), 0);
    EXPECT_TRUE(manager.DeleteButton()->isEnabled());
  });
  ExtensionList edited;
  bool changed = false;
  ASSERT_OK(RunExtensionManager(runner_, ui_, nullptr, current, &edited, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(presenter_.shown.size(), 2u);
}

// ------------------------------------------------------------------------------------------------
// About and Contact

using AboutContactTest = DialogWidgetTest;

TEST_F(AboutContactTest, AboutShowsTheVersionAndOpensTheSiteOrSaysWhyNot) {
  const ProductInfo& product = BuiltInProductInfo();
  AboutContent content;
  ASSERT_OK(MakeAboutContent(StringModule::BuiltIn(), product, u"Lumatag", &content));
  RecordingOpener opener;
  AboutDialog dialog(ui_, nullptr, content, &opener);
  ASSERT_TRUE(dialog.Start());
  EXPECT_EQ(dialog.windowTitle(), "About Lumatag");
  EXPECT_EQ(ToU16(dialog.VersionLine()->text()),
            u"Lumatag version " + std::u16string(product.version));
  QTest::mouseClick(dialog.Link(), Qt::LeftButton);
  ASSERT_EQ(opener.urls.size(), 1u);
  EXPECT_EQ(opener.urls[0], product.website);
  EXPECT_TRUE(presenter_.shown.empty());
  opener.result = E_FAIL;
  QTest::keyClick(dialog.Link(), Qt::Key_Space);
  EXPECT_EQ(Shown(), std::vector<std::u16string>{TableText(IDS_ERR_WEB_PAGE)});
  dialog.accept();
  EXPECT_EQ(dialog.EndCode(), IDOK);
}

TEST_F(AboutContactTest, ContactHoldsTheAddressReadOnly) {
  const ProductInfo& product = BuiltInProductInfo();
  ContactContent content;
  ASSERT_OK(MakeContactContent(StringModule::BuiltIn(), product, u"Lumatag", &content));
  ContactDialog dialog(ui_, nullptr, content);
  ASSERT_TRUE(dialog.Start());
  EXPECT_EQ(ToU16(dialog.windowTitle()), u"Contact " + std::u16string(product.maker));
  EXPECT_EQ(ToU16(dialog.Email()->text()), product.supportEmail);
  EXPECT_TRUE(dialog.Email()->isReadOnly());
  QTest::keyClicks(dialog.Email(), "x");
  EXPECT_EQ(ToU16(dialog.Email()->text()), product.supportEmail);
  dialog.reject();
}

}  // namespace
}  // namespace lumatag
