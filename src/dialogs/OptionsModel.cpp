#include "dialogs/OptionsModel.h"

#include "foundation/StringIds.h"

namespace lumatag {

const std::array<OptionBoxInfo, 6>& OptionBoxes() {
  static const std::array<OptionBoxInfo, 6> boxes{{
      {OptionBox::kAdvanceAfterRename, kOptionsNamingGroup, IDS_OPT_ADVANCE, IDS_TIP_OPT_ADVANCE,
       kChangedAdvanceAfterRename},
      {OptionBox::kBaseOnLast, kOptionsNamingGroup, IDS_OPT_BASE_ON_LAST, IDS_TIP_OPT_BASE_ON_LAST,
       kChangedBaseOnLast},
      {OptionBox::kStatusTones, kOptionsNamingGroup, IDS_OPT_TONES, IDS_TIP_OPT_TONES,
       kChangedStatusTones},
      {OptionBox::kRenameCompanions, kOptionsNamingGroup, IDS_OPT_COMPANIONS,
       IDS_TIP_OPT_COMPANIONS, kChangedRenameCompanions},
      {OptionBox::kShowPreview, kOptionsDisplayGroup, IDS_OPT_PREVIEW, IDS_TIP_OPT_PREVIEW,
       kChangedShowPreview},
      {OptionBox::kShowTooltips, kOptionsDisplayGroup, IDS_OPT_TOOLTIPS, IDS_TIP_OPT_TOOLTIPS,
       kChangedShowTooltips},
  }};
  return boxes;
}

namespace {

std::uint32_t ChangedBit(OptionBox box) {
  for (const OptionBoxInfo& info : OptionBoxes()) {
    if (info.box == box) return info.changedBit;
  }
  return 0;
}

}  // namespace

OptionValues OptionValues::From(const NamingSettings& settings) {
  OptionValues values;
  values.fileCheckBeeps = settings.fileCheckBeeps;
  values.showFilePreview = settings.showFilePreview;
  values.showWindowTips = settings.showWindowTips;
  values.advanceAfterRename = settings.advanceAfterRename;
  values.baseOnLast = settings.baseOnLast;
  values.renameCompanions = settings.renameCompanions;
  return values;
}

bool* OptionsModel::Field(OptionBox box) {
  switch (box) {
    case OptionBox::kStatusTones:
      return &copy_.fileCheckBeeps;
    case OptionBox::kBaseOnLast:
      return &copy_.baseOnLast;
    case OptionBox::kAdvanceAfterRename:
      return &copy_.advanceAfterRename;
    case OptionBox::kShowPreview:
      return &copy_.showFilePreview;
    case OptionBox::kShowTooltips:
      return &copy_.showWindowTips;
    case OptionBox::kRenameCompanions:
      return &copy_.renameCompanions;
  }
  return nullptr;
}

bool OptionsModel::IsChecked(OptionBox box) const {
  const bool* field = const_cast<OptionsModel*>(this)->Field(box);
  return field != nullptr && *field;
}

bool OptionsModel::IsEnabled(OptionBox box) const {
  if (box == OptionBox::kBaseOnLast) return copy_.advanceAfterRename;
  return true;
}

bool OptionsModel::Click(OptionBox box) {
  SetChecked(box, !IsChecked(box));
  return IsChecked(box);
}

void OptionsModel::SetChecked(OptionBox box, bool checked) {
  bool* field = Field(box);
  if (field == nullptr || !IsEnabled(box)) return;
  *field = checked;
  changed_ |= ChangedBit(box);
}

void OptionsModel::ApplyTo(NamingSettings& settings) const {
  if (changed_ & kChangedStatusTones) settings.fileCheckBeeps = copy_.fileCheckBeeps;
  if (changed_ & kChangedShowPreview) settings.showFilePreview = copy_.showFilePreview;
  if (changed_ & kChangedShowTooltips) settings.showWindowTips = copy_.showWindowTips;
  if (changed_ & kChangedAdvanceAfterRename) {
    settings.advanceAfterRename = copy_.advanceAfterRename;
  }
  if (changed_ & kChangedBaseOnLast) settings.baseOnLast = copy_.baseOnLast;
  if (changed_ & kChangedRenameCompanions) settings.renameCompanions = copy_.renameCompanions;
}

}  // namespace lumatag
