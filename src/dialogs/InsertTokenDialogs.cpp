#include "dialogs/InsertTokenDialogs.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/StringIds.h"
#include "ui/QtText.h"

namespace lumatag {

using ui::ToQString;
using ui::ToU16;

// ------------------------------------------------------------------------------------------------
// The shared part

InsertTokenDialog::InsertTokenDialog(ui::UiContext& ui, QWidget* owner, std::uint16_t titleId,
                                     int helpContext)
    : DialogBase(ui, owner) {
  setWindowTitle(Text(titleId));
  SetHelpContext(helpContext);
  layout_ = new QVBoxLayout(this);
  group_ = new QButtonGroup(this);
}

QString InsertTokenDialog::Text(std::uint16_t id) const {
  return ui::TableText(*Ui().app.resourceModule, id);
}

void InsertTokenDialog::BuildGroup(std::uint16_t groupId,
                                   std::initializer_list<std::uint16_t> radioIds, QLayout* extra) {
  auto* box = new QGroupBox(Text(groupId), this);
  auto* boxLayout = new QVBoxLayout(box);
  int index = 0;
  for (const std::uint16_t id : radioIds) {
    auto* radio = new QRadioButton(Text(id), box);
    group_->addButton(radio, index++);
    radios_.push_back(radio);
    boxLayout->addWidget(radio);
  }
  if (extra != nullptr) boxLayout->addLayout(extra);
  if (!radios_.empty()) radios_.front()->setChecked(true);
  layout_->addWidget(box);
  connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) Refresh();
  });
  SetFirstFocus(radios_.empty() ? nullptr : radios_.front());
}

void InsertTokenDialog::BuildSample(std::uint16_t tooltipId) {
  layout_->addWidget(new QLabel(Text(IDS_SAMPLE_OUTPUT), this));
  sample_ = new ui::SampleLabel(this);
  layout_->addWidget(sample_);
  SetTooltips({{sample_, tooltipId}});
}

void InsertTokenDialog::BuildButtons() {
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Text(IDS_BTN_OK), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(Text(IDS_BTN_CANCEL), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout_->addWidget(buttons);
}

void InsertTokenDialog::ShowSample(const SampleText& sample) {
  if (sample_ != nullptr) sample_->SetSample(ToQString(sample.text), sample.error);
}

Status InsertTokenDialog::Finish(const TokenResult& result, QWidget* field) {
  if (!result.accepted) {
    if (result.messageId != 0) IgnoreStatus(ShowErrorMessage(result.messageId));
    if (field != nullptr) {
      field->setFocus(Qt::OtherFocusReason);
      if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
    }
    return E_INVALID_INPUT;
  }
  token_ = result.token;
  return S_OK;
}

// ------------------------------------------------------------------------------------------------
// Insert Name

InsertNameDialog::InsertNameDialog(ui::UiContext& ui, QWidget* owner, const PatternSample& sample)
    : InsertTokenDialog(ui, owner, IDS_INSERT_NAME_TITLE, InsertNameModel::kHelpContext),
      model_(*ui.app.resourceModule, sample) {
  BuildGroup(IDS_INSERT_NAME_GROUP, {IDS_INSERT_NAME_BASE, IDS_INSERT_NAME_ORIGINAL});
  BuildSample(IDS_TIP_NAME_SAMPLE);
  BuildButtons();
  SetTooltips({{Radio(0), IDS_TIP_NAME_BASE}, {Radio(1), IDS_TIP_NAME_ORIGINAL}});
  Refresh();
}

void InsertNameDialog::Refresh() {
  model_.SetChoice(Radio(1)->isChecked() ? InsertNameModel::kOriginalName
                                         : InsertNameModel::kBaseName);
  ShowSample(model_.Sample());
}

Status InsertNameDialog::Commit(bool*) {
  Refresh();
  return Finish(model_.Accept(), nullptr);
}

// ------------------------------------------------------------------------------------------------
// Insert Number

InsertNumberDialog::InsertNumberDialog(ui::UiContext& ui, QWidget* owner)
    : InsertTokenDialog(ui, owner, IDS_INSERT_NUMBER_TITLE, InsertNumberModel::kHelpContext),
      model_(*ui.app.resourceModule) {
  auto* firstRow = new QHBoxLayout;
  auto* firstLabel = new QLabel(Text(IDS_INSERT_NUMBER_FIRST), this);
  first_ = new QLineEdit(ToQString(model_.FirstNumberText()), this);
  firstLabel->setBuddy(first_);
  firstRow->addWidget(firstLabel);
  firstRow->addWidget(first_);
  BuildGroup(IDS_INSERT_NUMBER_GROUP, {IDS_INSERT_NUMBER_AUTO, IDS_INSERT_NUMBER_ORIGINAL});
  // The first number belongs to the first choice.
  auto* box = qobject_cast<QVBoxLayout*>(Radio(0)->parentWidget()->layout());
  box->insertLayout(1, firstRow);

  auto* digitsRow = new QHBoxLayout;
  auto* digitsLabel = new QLabel(Text(IDS_INSERT_NUMBER_MIN_DIGITS), this);
  digits_ = new QComboBox(this);
  for (int i = 1; i <= InsertNumberModel::kMaxDigits; ++i) digits_->addItem(QString::number(i));
  digitsLabel->setBuddy(digits_);
  digitsRow->addWidget(digitsLabel);
  digitsRow->addWidget(digits_);
  box->addLayout(digitsRow);

  BuildSample(IDS_TIP_NUMBER_SAMPLE);
  BuildButtons();
  SetTooltips({{Radio(0), IDS_TIP_NUMBER_AUTO},
               {first_, IDS_TIP_NUMBER_FIRST},
               {Radio(1), IDS_TIP_NUMBER_ORIGINAL},
               {digits_, IDS_TIP_NUMBER_MIN_DIGITS}});
  connect(first_, &QLineEdit::textChanged, this, [this] { Refresh(); });
  connect(digits_, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
  Refresh();
}

void InsertNumberDialog::Refresh() {
  model_.SetChoice(Radio(1)->isChecked() ? InsertNumberModel::kOriginalNumber
                                         : InsertNumberModel::kAutoNumber);
  model_.SetFirstNumberText(ToU16(first_->text()));
  model_.SetMinimumDigits(digits_->currentIndex() + 1);
  first_->setEnabled(model_.FirstNumberEnabled());
  ShowSample(model_.Sample());
}

Status InsertNumberDialog::Commit(bool*) {
  Refresh();
  return Finish(model_.Accept(), first_);
}

// ------------------------------------------------------------------------------------------------
// Date pieces

DatePieceWidget::DatePieceWidget(ui::UiContext& ui, QWidget* owner, DatePieceKind kind,
                                 const SystemTime& date, const DateLocale& locale)
    : InsertTokenDialog(ui, owner, DatePieceDialogs()[kind].titleId, 0),
      model_(*ui.app.resourceModule, kind, date, locale) {
  const DatePieceDialog& table = model_.Dialog();
  auto* box = new QGroupBox(Text(table.groupId), this);
  auto* boxLayout = new QVBoxLayout(box);
  for (int i = 0; i < table.choiceCount; ++i) {
    const DatePieceChoice& choice = table.choices[static_cast<std::size_t>(i)];
    auto* radio = new QRadioButton(Text(choice.textId), box);
    radio->setToolTip(Text(choice.tooltipId));
    group_->addButton(radio, i);
    radios_.push_back(radio);
    boxLayout->addWidget(radio);
  }
  radios_.front()->setChecked(true);
  layout_->addWidget(box);
  connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) Refresh();
  });
  SetFirstFocus(radios_.front());
  BuildSample(IDS_TIP_PIECE_SAMPLE);
  BuildButtons();
  Refresh();
}

void DatePieceWidget::Refresh() {
  model_.SetChoice(group_->checkedId());
  ShowSample(model_.Sample());
}

Status DatePieceWidget::Commit(bool*) {
  Refresh();
  return Finish(model_.Accept(), nullptr);
}

// ------------------------------------------------------------------------------------------------
// Insert Date

InsertDateDialog::InsertDateDialog(ui::UiContext& ui, QWidget* owner, ui::DialogRunner& runner,
                                   const PatternSample& sample)
    : InsertTokenDialog(ui, owner, IDS_INSERT_DATE_TITLE, InsertDateModel::kHelpContext),
      runner_(runner),
      sampleData_(sample),
      model_(*ui.app.resourceModule, sample) {
  BuildGroup(IDS_INSERT_DATE_GROUP, {IDS_INSERT_DATE_PICTURE_TAKEN, IDS_INSERT_DATE_FILE_CREATION});
  auto* formatLabel = new QLabel(Text(IDS_INSERT_DATE_FORMAT), this);
  format_ = new QLineEdit(this);
  formatLabel->setBuddy(format_);
  marker_ = new ui::InsertionMarker(format_, this);
  layout_->addWidget(formatLabel);
  layout_->addWidget(format_);
  layout_->addWidget(marker_);

  auto* pieces = new QHBoxLayout;
  pieces->addWidget(new QLabel(Text(IDS_INSERT_DATE_INSERT), this));
  for (int kind = 0; kind < kPieceKindCount; ++kind) {
    const DatePieceDialog& table = DatePieceDialogs()[static_cast<std::size_t>(kind)];
    auto* button = new QPushButton(Text(table.buttonId), this);
    button->setAutoDefault(false);
    button->setToolTip(Text(table.buttonTooltipId));
    pieceButtons_[kind] = button;
    pieces->addWidget(button);
    connect(button, &QPushButton::clicked, this,
            [this, kind] { InsertPiece(static_cast<DatePieceKind>(kind)); });
  }
  layout_->addLayout(pieces);
  layout_->addWidget(new QLabel(Text(IDS_INSERT_DATE_LITERAL_NOTE), this));
  BuildSample(IDS_TIP_DATE_SAMPLE);
  BuildButtons();
  SetTooltips({{Radio(0), IDS_TIP_DATE_PICTURE_TAKEN},
               {Radio(1), IDS_TIP_DATE_FILE_CREATION},
               {format_, IDS_TIP_DATE_FORMAT},
               {marker_, IDS_TIP_INSERTION_POINT}});
  // The marker follows the caret through the field's own notifications.
  connect(format_, &QLineEdit::textChanged, this, [this] { Refresh(); });
  connect(format_, &QLineEdit::cursorPositionChanged, this, [this] { FollowCaret(); });
  connect(format_, &QLineEdit::selectionChanged, this, [this] { FollowCaret(); });
  Refresh();
}

void InsertDateDialog::FollowCaret() {
  // The end of the selection, or the caret.
  const int caret =
      format_->hasSelectedText()
          ? format_->selectionStart() + static_cast<int>(format_->selectedText().size())
          : format_->cursorPosition();
  model_.SetCaret(caret);
  marker_->SetPosition(model_.InsertionPosition());
}

void InsertDateDialog::Refresh() {
  model_.SetChoice(Radio(1)->isChecked() ? InsertDateModel::kFileCreation
                                         : InsertDateModel::kPictureTaken);
  const int caret = format_->cursorPosition();
  model_.SetFormat(ToU16(format_->text()), caret);
  marker_->SetPosition(model_.InsertionPosition());
  ShowSample(model_.Sample());
}

void InsertDateDialog::InsertPiece(DatePieceKind kind) {
  const int selectionStart = format_->hasSelectedText() ? format_->selectionStart() : 0;
  const int selectionLength =
      format_->hasSelectedText() ? static_cast<int>(format_->selectedText().size()) : 0;
  format_->setFocus(Qt::OtherFocusReason);
  DatePieceWidget piece(Ui(), this, kind, model_.PreviewDate(), sampleData_.Locale());
  if (Failed(ui::RunDialog(runner_, piece))) return;
  const int caret = model_.InsertPiece(piece.Token(), selectionStart, selectionLength);
  format_->setText(ToQString(model_.Format()));
  format_->setCursorPosition(caret);
  Refresh();
}

Status InsertDateDialog::Commit(bool*) {
  Refresh();
  return Finish(model_.Accept(), format_);
}

// ------------------------------------------------------------------------------------------------
// Insert Metadata

InsertMetadataDialog::InsertMetadataDialog(ui::UiContext& ui, QWidget* owner,
                                           const KeywordTable& keywords,
                                           const PatternSample& sample)
    : InsertTokenDialog(ui, owner, IDS_INSERT_METADATA_TITLE, InsertMetadataModel::kHelpContext),
      model_(*ui.app.resourceModule, keywords, sample) {
  BuildGroup(IDS_INSERT_METADATA_GROUP, {IDS_INSERT_METADATA_BY_NAME, IDS_INSERT_METADATA_BY_ID});
  auto* box = qobject_cast<QVBoxLayout*>(Radio(0)->parentWidget()->layout());
  names_ = new QListWidget(this);
  for (int i = 0; i < model_.NameCount(); ++i) names_->addItem(ToQString(model_.NameAt(i)));
  names_->setCurrentRow(0);
  box->insertWidget(1, names_);
  id_ = new QLineEdit(this);
  box->addWidget(id_);
  BuildSample(IDS_TIP_META_SAMPLE);
  BuildButtons();
  SetTooltips({{Radio(0), IDS_TIP_META_BY_NAME},
               {names_, IDS_TIP_META_NAME_LIST},
               {Radio(1), IDS_TIP_META_BY_ID},
               {id_, IDS_TIP_META_ID_EDIT}});
  connect(names_, &QListWidget::currentRowChanged, this, [this] { Refresh(); });
  connect(id_, &QLineEdit::textChanged, this, [this] { Refresh(); });
  Refresh();
}

void InsertMetadataDialog::Refresh() {
  model_.SetChoice(Radio(1)->isChecked() ? InsertMetadataModel::kById
                                         : InsertMetadataModel::kByName);
  model_.SelectName(names_->currentRow());
  model_.SetIdText(ToU16(id_->text()));
  names_->setEnabled(model_.ListEnabled());
  id_->setEnabled(model_.IdEnabled());
  ShowSample(model_.Sample());
}

Status InsertMetadataDialog::Commit(bool*) {
  Refresh();
  return Finish(model_.Accept(), id_);
}

// ------------------------------------------------------------------------------------------------
// Insert Character Literal

InsertCharacterDialog::InsertCharacterDialog(ui::UiContext& ui, QWidget* owner)
    : InsertTokenDialog(ui, owner, IDS_INSERT_CHAR_TITLE, InsertCharacterModel::kHelpContext),
      model_(*ui.app.resourceModule) {
  BuildGroup(IDS_INSERT_CHAR_GROUP, {IDS_INSERT_CHAR_LEFT_BRACKET, IDS_INSERT_CHAR_RIGHT_BRACKET,
                                     IDS_INSERT_CHAR_SEMICOLON});
  BuildButtons();
  SetTooltips({{Radio(0), IDS_TIP_CHAR_LEFT_BRACKET},
               {Radio(1), IDS_TIP_CHAR_RIGHT_BRACKET},
               {Radio(2), IDS_TIP_CHAR_SEMICOLON}});
}

Status InsertCharacterDialog::Commit(bool*) {
  model_.SetChoice(static_cast<InsertCharacterModel::Choice>(std::max(0, group_->checkedId())));
  return Finish(model_.Accept(), nullptr);
}

}  // namespace lumatag
