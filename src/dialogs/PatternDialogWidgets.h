// The Patterns Manager and the Pattern Editor as widgets over their models.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "dialogs/PatternDialogs.h"
#include "dialogs/PatternEditorModel.h"
#include "dialogs/PatternsManagerModel.h"
#include "ui/Labels.h"

namespace lumatag {

class PatternEditorDialog final : public ui::DialogBase {
 public:
  enum InsertButton { kInsertName, kInsertNumber, kInsertDate, kInsertMetadata, kInsertCharacter };

  PatternEditorDialog(PatternDialogsHost& host, QWidget* owner, const PatternCatalogue& catalogue,
                      const PatternSample& sample, NamingPattern& working, bool isNew);

  PatternEditorModel& Model() { return model_; }
  QLineEdit* NameField() const { return name_; }
  QPlainTextEdit* DescriptionField() const { return description_; }
  QLineEdit* ClauseField(PatternEditorModel::Clause clause) const { return clauseEdits_[clause]; }
  QCheckBox* UseFirst() const { return useFirst_; }
  ui::SampleLabel* Sample(PatternEditorModel::Clause clause) const { return samples_[clause]; }
  ui::InsertionMarker* Marker(PatternEditorModel::Clause clause) const { return markers_[clause]; }
  QPushButton* Insert(InsertButton button) const { return inserts_[button]; }
  // Opens the insert dialog of `button` and inserts its token into the target field.
  void RunInsert(InsertButton button);

 protected:
  Status InitDialog() override;
  Status Commit(bool* mayClose) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClauseChanged(PatternEditorModel::Clause clause);
  void FollowCaret(PatternEditorModel::Clause clause);
  void ShowClause(PatternEditorModel::Clause clause);
  QLineEdit* FieldOf(int control) const;
  QString Text(std::uint16_t id) const;

  PatternDialogsHost& host_;
  const PatternSample& sample_;
  PatternEditorModel model_;
  QLineEdit* name_ = nullptr;
  QPlainTextEdit* description_ = nullptr;
  QLineEdit* clauseEdits_[2] = {};
  ui::InsertionMarker* markers_[2] = {};
  ui::SampleLabel* samples_[2] = {};
  QCheckBox* useFirst_ = nullptr;
  QPushButton* inserts_[5] = {};
};

class PatternsManagerDialog final : public ui::DialogBase {
 public:
  PatternsManagerDialog(PatternDialogsHost& host, QWidget* owner, const PatternSample& sample,
                        PatternsManagerModel& model);

  QListWidget* List() const { return list_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* CopyButton() const { return copy_; }
  QPushButton* ModifyButton() const { return modify_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* CloseButton() const { return close_; }

  void AddPattern();
  void CopyPattern();
  void ModifyPattern();
  void DeletePattern();

 protected:
  Status InitDialog() override;

 private:
  Status Edit(const PatternCatalogue& catalogue, NamingPattern& working, bool isNew);
  void Fill();
  QString Text(std::uint16_t id) const;

  PatternDialogsHost& host_;
  const PatternSample& sample_;
  PatternsManagerModel& model_;
  PatternsManagerModel::Editor editor_;
  QListWidget* list_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* copy_ = nullptr;
  QPushButton* modify_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* close_ = nullptr;
  bool filling_ = false;
};

}  // namespace lumatag
