// The Crash Log Available dialog: what to do with the report of the last crash, the report's full
// path and the support address, each in a read-only box for copying. Nothing is sent.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include "crash/CrashLogs.h"
#include "ui/DialogBase.h"

namespace lumatag {

class CrashLogDialog final : public ui::DialogBase {
 public:
  CrashLogDialog(ui::UiContext& ui, QWidget* owner, const CrashLogDialogContent& content);
  QPlainTextEdit* FileBox() const { return file_; }
  QLineEdit* EmailBox() const { return email_; }

 private:
  QPlainTextEdit* file_ = nullptr;
  QLineEdit* email_ = nullptr;
};

// Shows the dialog through a runner, over the main window.
class DialogCrashLogsView final : public CrashLogsView {
 public:
  DialogCrashLogsView(ui::DialogRunner& runner, ui::UiContext& ui, QWidget* owner)
      : runner_(runner), ui_(ui), owner_(owner) {}
  Status ShowCrashLogDialog(const CrashLogDialogContent& content) override;

 private:
  ui::DialogRunner& runner_;
  ui::UiContext& ui_;
  QWidget* owner_;
};

}  // namespace lumatag
