#include "dialogs/PatternDialogs.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/InsertTokenDialogs.h"
#include "dialogs/PatternDialogWidgets.h"
#include "foundation/StringIds.h"
#include "ports/Messages.h"
#include "ui/QtText.h"

namespace lumatag {

using Clause = PatternEditorModel::Clause;
using ui::ToQString;
using ui::ToU16;

namespace {

// The end of the selection, or the caret: where the insertion point follows.
int SelectionEnd(const QLineEdit* edit) {
  return edit->hasSelectedText()
             ? edit->selectionStart() + static_cast<int>(edit->selectedText().size())
             : edit->cursorPosition();
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Pattern Editor

PatternEditorDialog::PatternEditorDialog(PatternDialogsHost& host, QWidget* owner,
                                         const PatternCatalogue& catalogue,
                                         const PatternSample& sample, NamingPattern& working,
                                         bool isNew)
    : DialogBase(host.ui, owner),
      host_(host),
      sample_(sample),
      model_(host.ui.app, catalogue, sample, working, isNew) {
  setWindowTitle(Text(IDS_PED_TITLE));
  SetHelpContext(PatternEditorModel::kHelpContext);
  auto* layout = new QVBoxLayout(this);
  const auto labelled = [&](std::uint16_t labelId, QWidget* field) {
    auto* label = new QLabel(Text(labelId), this);
    label->setBuddy(field);
    layout->addWidget(label);
    layout->addWidget(field);
  };
  name_ = new QLineEdit(this);
  name_->setMaxLength(kMaxPatternName);
  labelled(IDS_PED_LBL_NAME, name_);
  description_ = new QPlainTextEdit(this);
  description_->setTabChangesFocus(true);
  description_->setMaximumHeight(70);
  labelled(IDS_PED_LBL_DESCRIPTION, description_);

  const auto clause = [&](Clause which, std::uint16_t labelId, std::uint16_t sampleLabelId) {
    auto* edit = new QLineEdit(this);
    clauseEdits_[which] = edit;
    labelled(labelId, edit);
    markers_[which] = new ui::InsertionMarker(edit, this);
    layout->addWidget(markers_[which]);
    layout->addWidget(new QLabel(Text(sampleLabelId), this));
    samples_[which] = new ui::SampleLabel(this);
    layout->addWidget(samples_[which]);
    edit->installEventFilter(this);
    // Every change is checked at once, and the insertion point follows the caret through the
    // field's own notifications.
    connect(edit, &QLineEdit::textChanged, this, [this, which] { ClauseChanged(which); });
    connect(edit, &QLineEdit::cursorPositionChanged, this, [this, which] { FollowCaret(which); });
    connect(edit, &QLineEdit::selectionChanged, this, [this, which] { FollowCaret(which); });
  };
  clause(PatternEditorModel::kSequence, IDS_PED_LBL_SEQUENCE_DEFINITION,
         IDS_PED_LBL_SEQUENCE_SAMPLE);
  useFirst_ = new QCheckBox(Text(IDS_PED_CHK_SEPARATE_FIRST), this);
  layout->addWidget(useFirst_);
  clause(PatternEditorModel::kFirst, IDS_PED_LBL_FIRST_DEFINITION, IDS_PED_LBL_FIRST_SAMPLE);

  auto* insertRow = new QHBoxLayout;
  insertRow->addWidget(new QLabel(Text(IDS_PED_LBL_INSERT), this));
  const std::uint16_t insertTexts[] = {IDS_PED_BTN_NAME, IDS_PED_BTN_NUMBER, IDS_PED_BTN_DATE,
                                       IDS_PED_BTN_METADATA, IDS_PED_BTN_CHARACTER};
  for (int i = 0; i < 5; ++i) {
    inserts_[i] = new QPushButton(Text(insertTexts[i]), this);
    inserts_[i]->setAutoDefault(false);
    insertRow->addWidget(inserts_[i]);
    connect(inserts_[i], &QPushButton::clicked, this,
            [this, i] { RunInsert(static_cast<InsertButton>(i)); });
  }
  layout->addLayout(insertRow);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Text(IDS_BTN_OK), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(Text(IDS_BTN_CANCEL), QDialogButtonBox::RejectRole);
  QPushButton* help = buttons->addButton(Text(IDS_BTN_HELP), QDialogButtonBox::HelpRole);
  help->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    if (Ui().showHelp) Ui().showHelp(HelpContext());
  });
  connect(useFirst_, &QCheckBox::toggled, this, [this](bool checked) {
    model_.SetUseFirstClause(checked);
    ShowClause(PatternEditorModel::kFirst);
  });
  layout->addWidget(buttons);

  SetTooltips({{name_, IDS_TIP_PED_NAME},
               {description_, IDS_TIP_PED_DESCRIPTION},
               {clauseEdits_[PatternEditorModel::kSequence], IDS_TIP_PED_SEQUENCE_DEFINITION},
               {markers_[PatternEditorModel::kSequence], IDS_TIP_INSERTION_POINT},
               {samples_[PatternEditorModel::kSequence], IDS_TIP_PED_SEQUENCE_SAMPLE},
               {useFirst_, IDS_TIP_PED_SEPARATE_FIRST},
               {clauseEdits_[PatternEditorModel::kFirst], IDS_TIP_PED_FIRST_DEFINITION},
               {markers_[PatternEditorModel::kFirst], IDS_TIP_INSERTION_POINT},
               {samples_[PatternEditorModel::kFirst], IDS_TIP_PED_FIRST_SAMPLE},
               {inserts_[kInsertName], IDS_TIP_PED_INSERT_NAME},
               {inserts_[kInsertNumber], IDS_TIP_PED_INSERT_NUMBER},
               {inserts_[kInsertDate], IDS_TIP_PED_INSERT_DATE},
               {inserts_[kInsertMetadata], IDS_TIP_PED_INSERT_METADATA},
               {inserts_[kInsertCharacter], IDS_TIP_PED_INSERT_CHARACTER},
               {help, IDS_TIP_PED_HELP}});
  SetFirstFocus(name_);
}

QString PatternEditorDialog::Text(std::uint16_t id) const {
  return ui::TableText(*Ui().app.resourceModule, id);
}

Status PatternEditorDialog::InitDialog() {
  name_->setText(ToQString(model_.Name()));
  name_->setCursorPosition(name_->text().size());
  description_->setPlainText(ToQString(model_.Description()));
  for (const Clause clause : {PatternEditorModel::kSequence, PatternEditorModel::kFirst}) {
    const QSignalBlocker blocker(clauseEdits_[clause]);
    clauseEdits_[clause]->setText(ToQString(model_.ClauseText(clause)));
  }
  {
    const QSignalBlocker blocker(useFirst_);
    useFirst_->setChecked(model_.UseFirstClause());
  }
  const bool readOnly = model_.ReadOnly();
  name_->setEnabled(!readOnly);
  description_->setReadOnly(readOnly);
  useFirst_->setEnabled(!readOnly);
  clauseEdits_[PatternEditorModel::kSequence]->setEnabled(!readOnly);
  for (QPushButton* button : inserts_) button->setEnabled(!readOnly);
  ShowClause(PatternEditorModel::kSequence);
  ShowClause(PatternEditorModel::kFirst);
  return S_OK;
}

void PatternEditorDialog::ShowClause(Clause clause) {
  const bool enabled =
      clause == PatternEditorModel::kSequence ? !model_.ReadOnly() : model_.FirstClauseEnabled();
  clauseEdits_[clause]->setEnabled(enabled);
  samples_[clause]->setEnabled(clause == PatternEditorModel::kSequence || model_.UseFirstClause());
  const SampleText& sample = model_.Sample(clause);
  samples_[clause]->SetSample(ToQString(sample.text), sample.error);
  markers_[clause]->SetPosition(model_.InsertionPosition(clause));
}

void PatternEditorDialog::ClauseChanged(Clause clause) {
  QLineEdit* edit = clauseEdits_[clause];
  model_.SetClauseText(clause, ToU16(edit->text()), SelectionEnd(edit));
  ShowClause(clause);
}

void PatternEditorDialog::FollowCaret(Clause clause) {
  model_.SetCaret(clause, SelectionEnd(clauseEdits_[clause]));
  markers_[clause]->SetPosition(model_.InsertionPosition(clause));
}

bool PatternEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (watched == clauseEdits_[PatternEditorModel::kSequence]) {
      model_.SetTarget(PatternEditorModel::kSequence);
    } else if (watched == clauseEdits_[PatternEditorModel::kFirst]) {
      model_.SetTarget(PatternEditorModel::kFirst);
    }
  }
  return DialogBase::eventFilter(watched, event);
}

void PatternEditorDialog::RunInsert(InsertButton button) {
  const Clause clause = model_.Target() == PatternEditorModel::kFirst && model_.FirstClauseEnabled()
                            ? PatternEditorModel::kFirst
                            : PatternEditorModel::kSequence;
  QLineEdit* edit = clauseEdits_[clause];
  const int selectionStart = edit->hasSelectedText() ? edit->selectionStart() : 0;
  const int selectionLength =
      edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
  // The focus goes back to the target field before the dialog opens.
  edit->setFocus(Qt::OtherFocusReason);
  model_.SetTarget(clause);

  std::unique_ptr<InsertTokenDialog> dialog;
  switch (button) {
    case kInsertName:
      dialog = std::make_unique<InsertNameDialog>(Ui(), this, sample_);
      break;
    case kInsertNumber:
      dialog = std::make_unique<InsertNumberDialog>(Ui(), this);
      break;
    case kInsertDate:
      dialog = std::make_unique<InsertDateDialog>(Ui(), this, host_.runner, sample_);
      break;
    case kInsertMetadata:
      dialog = std::make_unique<InsertMetadataDialog>(Ui(), this, host_.keywords, sample_);
      break;
    case kInsertCharacter:
      dialog = std::make_unique<InsertCharacterDialog>(Ui(), this);
      break;
  }
  // Insert Number shows its own sample of [1:orig]; the editor's previews show theirs.
  const OpenDialog previous = Ui().app.openDialog;
  if (button == kInsertNumber) Ui().app.openDialog = kDialogInsertNumber;
  const Status status = ui::RunDialog(host_.runner, *dialog);
  Ui().app.openDialog = previous;
  if (Failed(status)) return;

  const int caret = model_.InsertToken(dialog->Token(), selectionStart, selectionLength);
  {
    const QSignalBlocker blocker(edit);
    edit->setText(ToQString(model_.ClauseText(clause)));
    edit->setCursorPosition(caret);
  }
  ShowClause(clause);
}

QLineEdit* PatternEditorDialog::FieldOf(int control) const {
  switch (control) {
    case PatternEditorModel::kNameControl:
      return name_;
    case PatternEditorModel::kFirstControl:
      return clauseEdits_[PatternEditorModel::kFirst];
    default:
      return clauseEdits_[PatternEditorModel::kSequence];
  }
}

Status PatternEditorDialog::Commit(bool*) {
  model_.SetName(ToU16(name_->text()));
  model_.SetDescription(ToU16(description_->toPlainText()));
  const PatternEditorModel::CommitResult result =
      model_.Commit([this] { return AskYesNo(IDS_ASK_DEFINITION_NOT_UNIQUE) == IDYES; });
  if (result.accepted) return S_OK;
  if (result.messageId != 0) IgnoreStatus(ShowErrorMessage(result.messageId));
  QLineEdit* field = FieldOf(result.focusControl);
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
  return E_INVALID_INPUT;
}

// ------------------------------------------------------------------------------------------------
// Patterns Manager

PatternsManagerDialog::PatternsManagerDialog(PatternDialogsHost& host, QWidget* owner,
                                             const PatternSample& sample,
                                             PatternsManagerModel& model)
    : DialogBase(host.ui, owner), host_(host), sample_(sample), model_(model) {
  setWindowTitle(Text(IDS_PM_TITLE));
  SetHelpContext(PatternsManagerModel::kHelpContext);
  auto* layout = new QGridLayout(this);
  auto* label = new QLabel(Text(IDS_PM_LBL_PATTERNS), this);
  list_ = new QListWidget(this);
  label->setBuddy(list_);
  layout->addWidget(label, 0, 0);
  layout->addWidget(list_, 1, 0, 6, 1);
  add_ = new QPushButton(Text(IDS_BTN_ADD), this);
  copy_ = new QPushButton(Text(IDS_BTN_COPY), this);
  modify_ = new QPushButton(Text(IDS_BTN_MODIFY), this);
  delete_ = new QPushButton(Text(IDS_BTN_DELETE), this);
  close_ = new QPushButton(Text(IDS_BTN_CLOSE_MNEMONIC), this);
  int row = 1;
  for (QPushButton* button : {add_, copy_, modify_, delete_, close_}) {
    button->setAutoDefault(false);
    layout->addWidget(button, row++, 1);
  }
  modify_->setDefault(true);
  SetTooltips({{list_, IDS_TIP_PM_LIST},
               {add_, IDS_TIP_PM_ADD},
               {copy_, IDS_TIP_PM_COPY},
               {modify_, IDS_TIP_PM_MODIFY},
               {delete_, IDS_TIP_PM_DELETE}});
  connect(add_, &QPushButton::clicked, this, [this] { AddPattern(); });
  connect(copy_, &QPushButton::clicked, this, [this] { CopyPattern(); });
  connect(modify_, &QPushButton::clicked, this, [this] { ModifyPattern(); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeletePattern(); });
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (filling_) return;
    model_.Select(row);
    delete_->setEnabled(model_.CanDelete());
  });
  editor_ = [this](const PatternCatalogue& catalogue, NamingPattern& working, bool isNew) {
    return Edit(catalogue, working, isNew);
  };
  SetFirstFocus(list_);
}

QString PatternsManagerDialog::Text(std::uint16_t id) const {
  return ui::TableText(*Ui().app.resourceModule, id);
}

Status PatternsManagerDialog::InitDialog() {
  Fill();
  return S_OK;
}

void PatternsManagerDialog::Fill() {
  filling_ = true;
  list_->clear();
  for (int line = 0; line < model_.LineCount(); ++line) {
    list_->addItem(ToQString(model_.LineText(line)));
  }
  list_->setCurrentRow(model_.Selection());
  filling_ = false;
  delete_->setEnabled(model_.CanDelete());
}

Status PatternsManagerDialog::Edit(const PatternCatalogue& catalogue, NamingPattern& working,
                                   bool isNew) {
  PatternEditorDialog editor(host_, this, catalogue, sample_, working, isNew);
  return ui::RunDialog(host_.runner, editor);
}

void PatternsManagerDialog::AddPattern() {
  const Status status = model_.Add(editor_);
  Fill();
  ReportCommandFailure(status);
}

void PatternsManagerDialog::CopyPattern() {
  const Status status = model_.Copy(editor_);
  Fill();
  ReportCommandFailure(status);
}

void PatternsManagerDialog::ModifyPattern() {
  const Status status = model_.Modify(editor_);
  Fill();
  ReportCommandFailure(status);
}

void PatternsManagerDialog::DeletePattern() {
  // The question and any message are the dialog's own: it is disabled while they are up.
  setEnabled(false);
  const Status status = model_.Delete();
  setEnabled(true);
  raise();
  activateWindow();
  Fill();
  ReportCommandFailure(status);
}

// ------------------------------------------------------------------------------------------------

Status RunPatternsManager(PatternDialogsHost& host, QWidget* parent,
                          const PatternCatalogue& current, int currentPattern,
                          PatternCatalogue* edited, int* editedCurrent) {
  AppContext& context = host.ui.app;
  if (edited == nullptr) return E_INVALIDARG;
  PatternSample sample;
  PatternsManagerModel model(context, current, currentPattern);
  Status status = sample.Build(context, host.openedAt);
  if (Succeeded(status)) status = model.OpenStatus();
  if (Failed(status)) {
    IgnoreStatus(ShowStatusError(context, status, IDS_DIALOG_NOT_SHOWN));
    return status;
  }
  PatternsManagerDialog dialog(host, parent, sample, model);
  status = ui::RunDialog(host.runner, dialog);
  // Closing is how the manager ends; only a manager that could not be shown keeps the old list.
  if (Failed(status) && status != E_CANCELLED) return status;
  if (Failed(edited->CopyFrom(model.Catalogue()))) {
    IgnoreStatus(ShowErrorMessage(context, IDS_ERR_CHANGING_PATTERNS));
    return E_CANCELLED;
  }
  if (editedCurrent != nullptr) *editedCurrent = model.CurrentPattern();
  return S_OK;
}

}  // namespace lumatag
