#include "dialogs/SettingsDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "foundation/StringIds.h"
#include "ports/Messages.h"
#include "ui/QtText.h"

namespace lumatag {

using ui::ToQString;
using ui::ToU16;

namespace {

QString Text(ui::UiContext& ui, std::uint16_t id) {
  return ui::TableText(*ui.app.resourceModule, id);
}

// A row of buttons at the foot of a dialog: one accepting button (the default), and Cancel when
// asked for.
QDialogButtonBox* FootButtons(ui::DialogBase& dialog, std::uint16_t acceptId, bool withCancel) {
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* accept =
      buttons->addButton(Text(dialog.Ui(), acceptId), QDialogButtonBox::AcceptRole);
  accept->setDefault(true);
  if (withCancel)
    buttons->addButton(Text(dialog.Ui(), IDS_BTN_CANCEL), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Options

OptionsDialog::OptionsDialog(ui::UiContext& ui, QWidget* owner, OptionsModel& model)
    : DialogBase(ui, owner), model_(model) {
  setWindowTitle(Text(ui, IDS_OPT_TITLE));
  SetHelpContext(kOptionsHelpContext);
  auto* layout = new QVBoxLayout(this);
  auto* naming = new QGroupBox(Text(ui, IDS_OPT_NAMING_GROUP), this);
  auto* display = new QGroupBox(Text(ui, IDS_OPT_DISPLAY_GROUP), this);
  auto* namingLayout = new QVBoxLayout(naming);
  auto* displayLayout = new QVBoxLayout(display);
  std::size_t n = 0;
  for (const OptionBoxInfo& info : OptionBoxes()) {
    const bool inNaming = info.groupControl == kOptionsNamingGroup;
    auto* box = new QCheckBox(Text(ui, info.textId), inNaming ? naming : display);
    (inNaming ? namingLayout : displayLayout)->addWidget(box);
    boxes_[n++] = {info.box, box};
    const OptionBox which = info.box;
    // A click by the person only; setting the tick from the model does not count.
    connect(box, &QCheckBox::clicked, this,
            [this, which](bool checked) { Clicked(which, checked); });
    QString tip;
    if (Succeeded(ui::LoadText(*ui.app.resourceModule, info.tooltipId, &tip))) box->setToolTip(tip);
  }
  layout->addWidget(naming);
  layout->addWidget(display);
  layout->addWidget(FootButtons(*this, IDS_BTN_OK, true));
  SetFirstFocus(boxes_[0].second);
}

QCheckBox* OptionsDialog::Box(OptionBox box) const {
  for (const auto& [which, widget] : boxes_) {
    if (which == box) return widget;
  }
  return nullptr;
}

Status OptionsDialog::InitDialog() {
  for (const auto& [which, widget] : boxes_) {
    const QSignalBlocker blocker(widget);
    widget->setChecked(model_.IsChecked(which));
  }
  ShowEnabling();
  return S_OK;
}

void OptionsDialog::Clicked(OptionBox box, bool checked) {
  model_.SetChecked(box, checked);
  // The box shows what the copy holds (a disabled box keeps its value).
  QCheckBox* widget = Box(box);
  if (widget->isChecked() != model_.IsChecked(box)) {
    const QSignalBlocker blocker(widget);
    widget->setChecked(model_.IsChecked(box));
  }
  ShowEnabling();
}

void OptionsDialog::ShowEnabling() {
  for (const auto& [which, widget] : boxes_) widget->setEnabled(model_.IsEnabled(which));
}

// ------------------------------------------------------------------------------------------------
// Extension Editor

ExtensionEditorDialog::ExtensionEditorDialog(ui::UiContext& ui, QWidget* owner,
                                             ExtensionEditorModel& model)
    : DialogBase(ui, owner), model_(model) {
  setWindowTitle(Text(ui, IDS_EXTED_TITLE));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(Text(ui, IDS_EXTED_LBL_EXTENSION), this);
  edit_ = new QLineEdit(this);
  edit_->setMaxLength(ExtensionEditorModel::kMaxLength);
  edit_->setMinimumWidth(edit_->fontMetrics().averageCharWidth() * 28);
  label->setBuddy(edit_);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addWidget(FootButtons(*this, IDS_BTN_OK, true));
  SetTooltips({{edit_, IDS_TIP_EXT_EDIT}});
  SetFirstFocus(edit_);
}

Status ExtensionEditorDialog::InitDialog() {
  edit_->setText(ToQString(model_.InitialText()));
  edit_->selectAll();
  return S_OK;
}

Status ExtensionEditorDialog::Commit(bool*) {
  // The message about the text is the editor's own: it is disabled while the box is up.
  setEnabled(false);
  const Status status = model_.Accept(Ui().app, ToU16(edit_->text()), &newIndex_);
  setEnabled(true);
  raise();
  activateWindow();
  if (status == E_INVALID_INPUT) {
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
  }
  return status;
}

// ------------------------------------------------------------------------------------------------
// Extension Manager

ExtensionManagerDialog::ExtensionManagerDialog(ui::UiContext& ui, QWidget* owner,
                                               ui::DialogRunner& runner,
                                               ExtensionManagerModel& model)
    : DialogBase(ui, owner), runner_(runner), model_(model) {
  setWindowTitle(Text(ui, IDS_EXTM_TITLE));
  SetHelpContext(kExtensionManagerHelpContext);
  auto* layout = new QGridLayout(this);
  auto* label = new QLabel(Text(ui, IDS_EXTM_LBL_EXTENSIONS), this);
  list_ = new QListWidget(this);
  list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 24);
  label->setBuddy(list_);
  layout->addWidget(label, 0, 0);
  layout->addWidget(list_, 1, 0, 6, 1);
  add_ = new QPushButton(Text(ui, IDS_BTN_ADD), this);
  modify_ = new QPushButton(Text(ui, IDS_BTN_MODIFY), this);
  delete_ = new QPushButton(Text(ui, IDS_BTN_DELETE), this);
  reset_ = new QPushButton(Text(ui, IDS_BTN_RESET), this);
  close_ = new QPushButton(Text(ui, IDS_BTN_CLOSE_MNEMONIC), this);
  int row = 1;
  for (QPushButton* button : {add_, modify_, delete_, reset_}) {
    button->setAutoDefault(false);
    layout->addWidget(button, row++, 1);
  }
  layout->setRowStretch(row++, 1);
  close_->setAutoDefault(false);
  layout->addWidget(close_, row, 1);
  modify_->setDefault(true);
  SetTooltips({{list_, IDS_TIP_EXT_LIST},
               {add_, IDS_TIP_EXT_ADD},
               {modify_, IDS_TIP_EXT_MODIFY},
               {delete_, IDS_TIP_EXT_DELETE},
               {reset_, IDS_TIP_EXT_RESET}});
  connect(add_, &QPushButton::clicked, this, [this] { AddExtension(); });
  connect(modify_, &QPushButton::clicked, this, [this] { ModifyExtension(); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteExtension(); });
  connect(reset_, &QPushButton::clicked, this, [this] { ResetExtensions(); });
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int current) {
    if (filling_) return;
    model_.Select(current);
    modify_->setEnabled(model_.CanModify());
    delete_->setEnabled(model_.CanDelete());
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { ModifyExtension(); });
  SetFirstFocus(list_);
}

Status ExtensionManagerDialog::InitDialog() {
  Fill();
  return S_OK;
}

void ExtensionManagerDialog::Fill() {
  filling_ = true;
  list_->clear();
  for (int i = 0; i < model_.Count(); ++i) list_->addItem(ToQString(model_.At(i)));
  list_->setCurrentRow(model_.Selection());
  filling_ = false;
  modify_->setEnabled(model_.CanModify());
  delete_->setEnabled(model_.CanDelete());
}

template <typename F>
Status ExtensionManagerDialog::Owned(F&& command) {
  setEnabled(false);
  const Status status = command();
  setEnabled(true);
  raise();
  activateWindow();
  return status;
}

Status ExtensionManagerDialog::Edit(int index) {
  ExtensionEditorModel model(model_.EditableList(), index);
  ExtensionEditorDialog editor(Ui(), this, model);
  LT_TRY(ui::RunDialog(runner_, editor));
  model_.EditAccepted(editor.NewIndex());
  return S_OK;
}

void ExtensionManagerDialog::AddExtension() {
  int index = -1;
  if (Failed(model_.BeginAdd(&index))) {
    IgnoreStatus(ShowErrorMessage(IDS_ERR_ADDING_EXTENSION));
    return;
  }
  Fill();
  const Status status = Edit(index);
  // Cancelled, or the editor could not be shown (that has been reported): the empty entry goes
  // again, without asking.
  if (Failed(status)) model_.CancelAdd();
  Fill();
}

void ExtensionManagerDialog::ModifyExtension() {
  if (!model_.CanModify()) return;
  (void)Edit(model_.Selection());
  Fill();
}

void ExtensionManagerDialog::DeleteExtension() {
  if (!model_.CanDelete()) return;
  const Status status = Owned([this] { return model_.DeleteSelected(Ui().app); });
  Fill();
  if (Failed(status) && status != E_CANCELLED)
    IgnoreStatus(ShowErrorMessage(IDS_ERR_DELETING_EXTENSION));
}

void ExtensionManagerDialog::ResetExtensions() {
  const Status status = Owned([this] { return model_.Reset(Ui().app); });
  Fill();
  ReportCommandFailure(status);
}

Status RunExtensionManager(ui::DialogRunner& runner, ui::UiContext& ui, QWidget* parent,
                           const ExtensionList& current, ExtensionList* edited, bool* changed) {
  if (edited == nullptr || changed == nullptr) return E_INVALIDARG;
  *changed = false;
  ExtensionManagerModel model(current);
  if (Failed(model.OpenStatus())) {
    IgnoreStatus(ShowStatusError(ui.app, model.OpenStatus(), IDS_DIALOG_NOT_SHOWN));
    return model.OpenStatus();
  }
  ExtensionManagerDialog dialog(ui, parent, runner, model);
  const Status status = ui::RunDialog(runner, dialog);
  // Closing is how the manager ends; only a manager that could not be shown keeps the old list.
  if (Failed(status) && status != E_CANCELLED) return status;
  if (Failed(edited->CopyFrom(model.Result()))) {
    IgnoreStatus(ShowErrorMessage(ui.app, IDS_ERR_CHANGING_EXTENSIONS));
    return E_FAIL;
  }
  *changed = model.Changed();
  return S_OK;
}

// ------------------------------------------------------------------------------------------------
// About and Contact

AboutDialog::AboutDialog(ui::UiContext& ui, QWidget* owner, const AboutContent& content,
                         DocumentOpener* opener)
    : DialogBase(ui, owner), content_(content), opener_(opener) {
  setWindowTitle(ToQString(content_.title));
  auto* layout = new QHBoxLayout(this);
  auto* icon = new QLabel(this);
  // The program's icon: the window icon when the program set one, else the one installed in the
  // desktop's icon theme.
  QIcon appIcon = QApplication::windowIcon();
  if (appIcon.isNull())
    appIcon = QIcon::fromTheme(QStringLiteral("com.quarrytreesoftware.Lumatag"));
  if (appIcon.isNull()) appIcon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
  icon->setPixmap(appIcon.pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  layout->addWidget(icon);
  layout->addSpacing(8);
  auto* column = new QVBoxLayout;
  versionLine_ = new QLabel(ToQString(content_.versionLine), this);
  QFont bold = versionLine_->font();
  bold.setBold(true);
  versionLine_->setFont(bold);
  column->addWidget(versionLine_);
  column->addWidget(new QLabel(ToQString(content_.makerLine), this));
  auto* site = new QHBoxLayout;
  site->addWidget(new QLabel(ToQString(content_.websiteLabel), this));
  link_ = new ui::LinkLabel(ToQString(content_.websiteUrl), this);
  connect(link_, &ui::LinkLabel::activated, this, [this] { OpenSite(); });
  site->addWidget(link_);
  site->addStretch(1);
  column->addLayout(site);
  auto* note = new QLabel(ToQString(content_.note), this);
  note->setWordWrap(true);
  column->addWidget(note);
  column->addSpacing(6);
  column->addWidget(FootButtons(*this, IDS_BTN_OK, false));
  layout->addLayout(column, 1);
  SetFirstFocus(link_);
}

void AboutDialog::OpenSite() {
  const Status status =
      opener_ != nullptr ? opener_->OpenUrl(content_.websiteUrl) : Status(E_UNEXPECTED);
  if (Failed(status)) IgnoreStatus(ShowErrorMessage(IDS_ERR_WEB_PAGE));
}

ContactDialog::ContactDialog(ui::UiContext& ui, QWidget* owner, const ContactContent& content)
    : DialogBase(ui, owner) {
  setWindowTitle(ToQString(content.title));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(ToQString(content.text), this);
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(ToQString(content.emailLabel), this);
  email_ = new QLineEdit(ToQString(content.email), this);
  email_->setReadOnly(true);
  email_->setMinimumWidth(email_->fontMetrics().horizontalAdvance(email_->text()) + 24);
  label->setBuddy(email_);
  row->addWidget(label);
  row->addWidget(email_, 1);
  layout->addLayout(row);
  layout->addSpacing(6);
  layout->addWidget(FootButtons(*this, IDS_BTN_OK, false));
  SetFirstFocus(email_);
}

}  // namespace lumatag
