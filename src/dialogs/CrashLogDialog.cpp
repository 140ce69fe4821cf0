#include "dialogs/CrashLogDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/StringIds.h"
#include "ui/QtText.h"

namespace lumatag {

using ui::ToQString;

CrashLogDialog::CrashLogDialog(ui::UiContext& ui, QWidget* owner,
                               const CrashLogDialogContent& content)
    : DialogBase(ui, owner) {
  setWindowTitle(ToQString(content.title));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(ToQString(content.text), this);
  text->setWordWrap(true);
  layout->addWidget(text);
  layout->addSpacing(6);

  auto* fileLabel = new QLabel(ToQString(content.fileLabel), this);
  file_ = new QPlainTextEdit(ToQString(content.filePath), this);
  file_->setReadOnly(true);
  file_->setTabChangesFocus(true);
  file_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  file_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Room for a long path over three lines.
  const QFontMetrics metrics(file_->font());
  file_->setFixedHeight(metrics.lineSpacing() * 3 + 2 * file_->frameWidth() + 8);
  fileLabel->setBuddy(file_);
  layout->addWidget(fileLabel);
  layout->addWidget(file_);

  auto* emailLabel = new QLabel(ToQString(content.emailLabel), this);
  email_ = new QLineEdit(ToQString(content.email), this);
  email_->setReadOnly(true);
  emailLabel->setBuddy(email_);
  layout->addWidget(emailLabel);
  layout->addWidget(email_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(ui::TableText(*ui.app.resourceModule, IDS_BTN_CLOSE),
                                          QDialogButtonBox::AcceptRole);
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  setMinimumWidth(metrics.averageCharWidth() * 64);
  SetFirstFocus(file_);
}

Status DialogCrashLogsView::ShowCrashLogDialog(const CrashLogDialogContent& content) {
  CrashLogDialog dialog(ui_, owner_, content);
  const Status status = ui::RunDialog(runner_, dialog);
  // Closing the dialog is how it ends.
  return status == E_CANCELLED ? S_OK : status;
}

}  // namespace lumatag
