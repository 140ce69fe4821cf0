// Message boxes as Qt message boxes: the box styles (buttons, icon, default button) and the
// answers map to QMessageBox's; button texts come from the string table; every box carries a
// title, the application title when none is given. The main window owns a box when the front-end
// says so.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>

#include "foundation/AppContext.h"
#include "ports/MessagePresenter.h"

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace lumatag::ui {

class QtMessagePresenter final : public MessagePresenter {
 public:
  // Shows a built box and returns the button that closed it (none when it was closed otherwise).
  // The program's runs the box modally; tests press a button directly.
  using BoxRunner = std::function<QAbstractButton*(QMessageBox& box)>;

  explicit QtMessagePresenter(AppContext& context, BoxRunner runner = {});

  void SetMainWindow(QWidget* window) { mainWindow_ = window; }

  int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
           bool owned) override;
  // The details go into the box's details area (shown on request).
  int ShowWithDetails(std::u16string_view text, std::u16string_view details,
                      std::u16string_view title, std::uint32_t flags, bool owned) override;
  int AskChoice(std::u16string_view text, std::u16string_view title,
                std::span<const Choice> choices, bool owned) override;

  // The box Show would show, for its answers see AnswerOf.
  std::unique_ptr<QMessageBox> BuildBox(std::u16string_view text, std::u16string_view title,
                                        std::uint32_t flags, bool owned) const;
  std::unique_ptr<QMessageBox> BuildChoiceBox(std::u16string_view text, std::u16string_view title,
                                              std::span<const Choice> choices, bool owned) const;
  // The answer a button of a built box gives (IDOK, IDYES, ... or a choice's answer); 0 for none.
  static int AnswerOf(const QAbstractButton* button);

 private:
  QWidget* Owner(bool owned) const;
  QString Title(std::u16string_view title) const;

  AppContext& context_;
  BoxRunner runner_;
  QPointer<QWidget> mainWindow_;
};

}  // namespace lumatag::ui
