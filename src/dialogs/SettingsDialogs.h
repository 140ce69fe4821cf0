// The small settings dialogs as widgets over their models: Options, the Photo File Extension
// Manager and Editor, and the About and Contact boxes.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <array>
#include <utility>

#include "dialogs/AboutModel.h"
#include "dialogs/ExtensionEditorModel.h"
#include "dialogs/ExtensionManagerModel.h"
#include "dialogs/OptionsModel.h"
#include "ports/DocumentOpener.h"
#include "ui/DialogBase.h"
#include "ui/Labels.h"

class QLabel;

namespace lumatag {

// Options: five check boxes in the groups "Naming settings" and "Display settings". Every click
// goes into the model's copy at once; the dialog itself never touches the settings.
class OptionsDialog final : public ui::DialogBase {
 public:
  OptionsDialog(ui::UiContext& ui, QWidget* owner, OptionsModel& model);
  QCheckBox* Box(OptionBox box) const;

 protected:
  Status InitDialog() override;

 private:
  void Clicked(OptionBox box, bool checked);
  void ShowEnabling();

  OptionsModel& model_;
  std::array<std::pair<OptionBox, QCheckBox*>, 6> boxes_{};
};

// The Photo File Extension Editor over one entry of the manager's list.
class ExtensionEditorDialog final : public ui::DialogBase {
 public:
  ExtensionEditorDialog(ui::UiContext& ui, QWidget* owner, ExtensionEditorModel& model);
  QLineEdit* Edit() const { return edit_; }
  // After OK: where the entry now stands in the list.
  int NewIndex() const { return newIndex_; }

 protected:
  Status InitDialog() override;
  Status Commit(bool* mayClose) override;

 private:
  ExtensionEditorModel& model_;
  QLineEdit* edit_ = nullptr;
  int newIndex_ = -1;
};

// The Photo File Extension Manager over the model's copy of the list. Its editor runs through
// `runner` (tests script it).
class ExtensionManagerDialog final : public ui::DialogBase {
 public:
  ExtensionManagerDialog(ui::UiContext& ui, QWidget* owner, ui::DialogRunner& runner,
                         ExtensionManagerModel& model);

  QListWidget* List() const { return list_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* ModifyButton() const { return modify_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* ResetButton() const { return reset_; }
  QPushButton* CloseButton() const { return close_; }

  void AddExtension();
  void ModifyExtension();
  void DeleteExtension();
  void ResetExtensions();

 protected:
  Status InitDialog() override;

 private:
  // Runs the editor on entry `index`; S_OK after OK, E_CANCELLED, or a failure already shown.
  Status Edit(int index);
  void Fill();
  template <typename F>
  Status Owned(F&& command);

  ui::DialogRunner& runner_;
  ExtensionManagerModel& model_;
  QListWidget* list_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* modify_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* reset_ = nullptr;
  QPushButton* close_ = nullptr;
  bool filling_ = false;
};

// The About box: the application icon, the title with its version, the maker's line, "Website:"
// with a link to the maker's site, one more line, and OK.
class AboutDialog final : public ui::DialogBase {
 public:
  // `opener` (may be null) opens the web site.
  AboutDialog(ui::UiContext& ui, QWidget* owner, const AboutContent& content,
              DocumentOpener* opener);
  ui::LinkLabel* Link() const { return link_; }
  QLabel* VersionLine() const { return versionLine_; }

 private:
  void OpenSite();

  AboutContent content_;
  DocumentOpener* opener_;
  QLabel* versionLine_ = nullptr;
  ui::LinkLabel* link_ = nullptr;
};

// The Contact box: who to write to, the support address in a read-only edit for copying, and OK.
class ContactDialog final : public ui::DialogBase {
 public:
  ContactDialog(ui::UiContext& ui, QWidget* owner, const ContactContent& content);
  QLineEdit* Email() const { return email_; }

 private:
  QLineEdit* email_ = nullptr;
};

// Runs the Photo File Extension Manager over a copy of `current`. Closing it, however it is closed,
// keeps the edits: S_OK with the edited list in *edited and *changed telling whether it differs
// from `current`. A manager that could not be shown has been reported and returns its failure.
Status RunExtensionManager(ui::DialogRunner& runner, ui::UiContext& ui, QWidget* parent,
                           const ExtensionList& current, ExtensionList* edited, bool* changed);

}  // namespace lumatag
