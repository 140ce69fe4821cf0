// The Options dialog's model: which boxes are enabled, what a click changes, and that only OK
// reaches the settings.
#include "dialogs/OptionsModel.h"

#include <gtest/gtest.h>

namespace lumatag {
namespace {

OptionValues Values(const NamingSettings& s) {
  return OptionValues::From(s);
}

TEST(OptionsModelTest, BoxesShowTheCopyAndBaseOnLastFollowsAdvance) {
  for (const bool advance : {false, true}) {
    for (const bool baseOnLast : {false, true}) {
      NamingSettings settings;
      settings.advanceAfterRename = advance;
      settings.baseOnLast = baseOnLast;
      settings.showWindowTips = false;
      const OptionsModel model(settings);
      EXPECT_EQ(model.IsChecked(OptionBox::kAdvanceAfterRename), advance);
      EXPECT_EQ(model.IsChecked(OptionBox::kBaseOnLast), baseOnLast);
      EXPECT_FALSE(model.IsChecked(OptionBox::kShowTooltips));
      EXPECT_EQ(model.IsEnabled(OptionBox::kBaseOnLast), advance);
      for (const OptionBox box : {OptionBox::kAdvanceAfterRename, OptionBox::kStatusTones,
                                  OptionBox::kShowPreview, OptionBox::kShowTooltips}) {
        EXPECT_TRUE(model.IsEnabled(box));
      }
    }
  }
}

TEST(OptionsModelTest, ClearingAdvanceDisablesBaseOnLastAndKeepsItsTick) {
  NamingSettings settings;  // both ticked
  OptionsModel model(settings);
  EXPECT_FALSE(model.Click(OptionBox::kAdvanceAfterRename));
  EXPECT_FALSE(model.IsEnabled(OptionBox::kBaseOnLast));
  EXPECT_TRUE(model.IsChecked(OptionBox::kBaseOnLast));
  // A disabled box ignores clicks.
  EXPECT_TRUE(model.Click(OptionBox::kBaseOnLast));
  EXPECT_EQ(model.ChangedBits(), kChangedAdvanceAfterRename);
  EXPECT_TRUE(model.Click(OptionBox::kAdvanceAfterRename));
  EXPECT_TRUE(model.IsEnabled(OptionBox::kBaseOnLast));
  EXPECT_TRUE(model.IsChecked(OptionBox::kBaseOnLast));
}

TEST(OptionsModelTest, CancelAfterClickingEveryBoxLeavesTheSettings) {
  NamingSettings settings;
  settings.fileCheckBeeps = false;
  const OptionValues before = Values(settings);
  {
    OptionsModel model(settings);
    // Last box first, so that 103 is clicked while it is still enabled.
    for (auto it = OptionBoxes().rbegin(); it != OptionBoxes().rend(); ++it) model.Click(it->box);
    EXPECT_EQ(model.ChangedBits(), kOptionsChangedMask);
    EXPECT_NE(model.Copy(), before);
    // Cancel: the model goes without ApplyTo.
  }
  EXPECT_EQ(Values(settings), before);
}

TEST(OptionsModelTest, OkAppliesEveryClickedBox) {
  NamingSettings settings;
  settings.showFilePreview = false;
  OptionsModel model(settings);
  // The order of the dialog: 104 first, so 103 is clicked while disabled and stays.
  for (const OptionBoxInfo& info : OptionBoxes()) model.Click(info.box);
  NamingSettings applied;
  applied.showFilePreview = false;
  model.ApplyTo(applied);
  EXPECT_FALSE(applied.advanceAfterRename);
  EXPECT_TRUE(applied.baseOnLast);
  EXPECT_FALSE(applied.fileCheckBeeps);
  EXPECT_TRUE(applied.showFilePreview);
  EXPECT_FALSE(applied.showWindowTips);
  EXPECT_FALSE(applied.renameCompanions);
}

TEST(OptionsModelTest, OkLeavesSettingsOfBoxesNotClicked) {
  NamingSettings settings;
  OptionsModel model(settings);
  model.Click(OptionBox::kShowTooltips);
  model.Click(OptionBox::kShowTooltips);  // back to where it was, still marked changed
  EXPECT_EQ(model.ChangedBits(), kChangedShowTooltips);
  NamingSettings target;
  target.fileCheckBeeps = false;  // changed elsewhere meanwhile: not overwritten
  model.ApplyTo(target);
  EXPECT_FALSE(target.fileCheckBeeps);
  EXPECT_TRUE(target.showWindowTips);
}

TEST(OptionsModelTest, BoxTableMatchesTheDialog) {
  std::uint32_t bits = 0;
  int naming = 0;
  for (const OptionBoxInfo& info : OptionBoxes()) {
    bits |= info.changedBit;
    if (info.groupControl == kOptionsNamingGroup) ++naming;
  }
  EXPECT_EQ(bits, kOptionsChangedMask);
  EXPECT_EQ(naming, 4);  // with "Rename companion files (RAW, XMP) with the photo"
  EXPECT_EQ(OptionBoxes().front().box, OptionBox::kAdvanceAfterRename);
}

}  // namespace
}  // namespace lumatag
