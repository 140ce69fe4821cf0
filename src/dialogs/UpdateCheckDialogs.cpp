#include "dialogs/UpdateCheckDialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "foundation/StringIds.h"
#include "ui/QtText.h"

namespace lumatag {

using ui::ToQString;

namespace {

QString Text(ui::UiContext& ui, std::uint16_t id) {
  return ui::TableText(*ui.app.resourceModule, id);
}

// Lets long release notes wrap onto further lines of their row: the row's height is measured at
// the width the column leaves for the text.
class WrappingDelegate final : public QStyledItemDelegate {
 public:
  explicit WrappingDelegate(QTreeWidget* tree) : QStyledItemDelegate(tree), tree_(tree) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QSize single = QStyledItemDelegate::sizeHint(option, index);
    int depth = 1;  // the root items are indented too
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) ++depth;
    const int width =
        tree_->header()->sectionSize(index.column()) - depth * tree_->indentation() - 8;
    if (width <= 0) return single;
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect bounds =
        QFontMetrics(option.font)
            .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignLeft, text);
    return {single.width(), std::max(single.height(), bounds.height() + 4)};
  }

 private:
  QTreeWidget* tree_;
};

QPushButton* CloseButtonRow(ui::DialogBase& dialog, QBoxLayout* layout) {
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* close =
      buttons->addButton(Text(dialog.Ui(), kUpdateDialogCloseButton), QDialogButtonBox::AcceptRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  return close;
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Check for Updates

CheckForUpdatesDialog::CheckForUpdatesDialog(ui::UiContext& ui, QWidget* owner,
                                             CheckForUpdatesDialogModel& model,
                                             UpdateCheckEnvironment& environment,
                                             const DateLocale& locale)
    : DialogBase(ui, owner), model_(model), environment_(environment), locale_(locale) {
  setWindowTitle(Text(ui, kCheckForUpdatesTitle));
  auto* layout = new QVBoxLayout(this);
  auto* lastRow = new QHBoxLayout;
  lastRow->addWidget(new QLabel(Text(ui, IDS_UPD_LBL_LAST_CHECK), this));
  lastCheck_ = new QLabel(this);
  lastCheck_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lastRow->addWidget(lastCheck_, 1);
  layout->addLayout(lastRow);
  checkNow_ = new QPushButton(Text(ui, IDS_UPD_BTN_CHECK_NOW), this);
  checkNow_->setAutoDefault(false);
  auto* checkRow = new QHBoxLayout;
  checkRow->addWidget(checkNow_);
  checkRow->addStretch(1);
  layout->addLayout(checkRow);
  connect(checkNow_, &QPushButton::clicked, this, [this] { CheckNow(); });

  auto* group = new QGroupBox(Text(ui, IDS_UPD_GROUP_AUTOMATIC), this);
  auto* groupLayout = new QVBoxLayout(group);
  auto* buttons = new QButtonGroup(this);
  const std::uint16_t radioTexts[] = {IDS_UPD_DAILY, IDS_UPD_WEEKLY, IDS_UPD_MONTHLY,
                                      IDS_UPD_NEVER};
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(Text(ui, radioTexts[i]), group);
    radios_[static_cast<std::size_t>(i)] = radio;
    buttons->addButton(radio, kUpdateDailyRadio + i);
    groupLayout->addWidget(radio);
  }
  connect(buttons, &QButtonGroup::idClicked, this, [this](int id) { model_.ChooseRadio(id); });
  layout->addWidget(group);
  close_ = CloseButtonRow(*this, layout);
  close_->setDefault(true);
  SetTooltips({{lastCheck_, IDS_TIP_UPD_LAST_CHECK},
               {checkNow_, IDS_TIP_UPD_CHECK_NOW},
               {radios_[0], IDS_TIP_UPD_DAILY},
               {radios_[1], IDS_TIP_UPD_WEEKLY},
               {radios_[2], IDS_TIP_UPD_MONTHLY},
               {radios_[3], IDS_TIP_UPD_NEVER}});
  SetFirstFocus(checkNow_);
}

QRadioButton* CheckForUpdatesDialog::Radio(int controlId) const {
  const int index = controlId - kUpdateDailyRadio;
  return index >= 0 && index < 4 ? radios_[static_cast<std::size_t>(index)] : nullptr;
}

Status CheckForUpdatesDialog::InitDialog() {
  if (environment_.store != nullptr) {
    LT_TRY(model_.Refresh(*environment_.store, *Ui().app.resourceModule, locale_));
  }
  lastCheck_->setText(ToQString(model_.LastCheckText()));
  Radio(model_.CheckedRadio())->setChecked(true);
  return S_OK;
}

void CheckForUpdatesDialog::CheckNow() {
  // The check shows its own messages; the dialog waits meanwhile.
  setEnabled(false);
  (void)model_.CheckNow(environment_, locale_);
  setEnabled(true);
  raise();
  activateWindow();
  lastCheck_->setText(ToQString(model_.LastCheckText()));
}

// ------------------------------------------------------------------------------------------------
// Update Available

UpdateAvailableDialog::UpdateAvailableDialog(ui::UiContext& ui, QWidget* owner,
                                             const UpdateAvailableModel& model,
                                             std::function<Status(std::u16string_view)> open)
    : DialogBase(ui, owner), model_(model), open_(std::move(open)) {
  setWindowTitle(Text(ui, kUpdateAvailableTitle));
  auto* layout = new QVBoxLayout(this);
  version_ = new QLabel(ToQString(model_.VersionLabel()), this);
  QFont bold = version_->font();
  bold.setBold(true);
  version_->setFont(bold);
  layout->addWidget(version_);
  link_ = new ui::LinkLabel(ToQString(model_.LinkText()), this);
  connect(link_, &ui::LinkLabel::activated, this,
          [this] { (void)model_.OpenDownloadPage(Ui().app, open_); });
  layout->addWidget(link_);
  layout->addSpacing(6);
  auto* historyLabel = new QLabel(Text(ui, IDS_UPDAVAIL_LBL_HISTORY), this);
  history_ = new QTreeWidget(this);
  history_->setHeaderHidden(true);
  history_->setColumnCount(1);
  // Long release notes wrap onto further lines rather than being cut short.
  history_->setWordWrap(true);
  history_->setTextElideMode(Qt::ElideNone);
  history_->setUniformRowHeights(false);
  history_->setItemDelegate(new WrappingDelegate(history_));
  history_->header()->setStretchLastSection(true);
  history_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  // Row heights follow the column's width.
  connect(history_->header(), &QHeaderView::sectionResized, history_,
          [this] { history_->doItemsLayout(); });
  QPalette white = history_->palette();
  white.setColor(QPalette::Base, Qt::white);
  white.setColor(QPalette::Text, Qt::black);
  history_->setPalette(white);
  historyLabel->setBuddy(history_);
  layout->addWidget(historyLabel);
  layout->addWidget(history_, 1);
  for (const VersionHistoryRow& row : model_.History()) {
    auto* item = new QTreeWidgetItem(history_, QStringList(ToQString(row.text)));
    for (const std::u16string& note : row.notes) {
      new QTreeWidgetItem(item, QStringList(ToQString(note)));
    }
  }
  if (history_->topLevelItemCount() > 0) history_->topLevelItem(0)->setExpanded(true);
  QPushButton* close = CloseButtonRow(*this, layout);
  close->setDefault(true);
  SetTooltips({{version_, IDS_TIP_UPD_AVAILABLE_VERSION},
               {link_, IDS_TIP_UPD_DOWNLOAD_LINK},
               {history_, IDS_TIP_UPD_HISTORY}});
  const QFontMetrics metrics(font());
  resize(metrics.averageCharWidth() * 70, metrics.lineSpacing() * 22);
  SetFirstFocus(link_);
}

Status DialogUpdateAvailableView::Show(const VersionInfo& info, bool* created) {
  *created = false;
  UpdateAvailableModel model;
  LT_TRY(model.Build(info, *ui_.app.resourceModule, locale_));
  UpdateAvailableDialog dialog(ui_, owner_, model, open_);
  // A dialog that could not be shown is reported by RunDialog itself.
  *created = true;
  const Status status = ui::RunDialog(runner_, dialog);
  return status == E_CANCELLED ? S_OK : status;
}

}  // namespace lumatag
