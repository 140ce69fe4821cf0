// The five insert-token dialogs and the eight date-piece dialogs of Insert Date, as widgets over
// their models. Each ends with IDOK and its token, or is cancelled.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>
#include <string>

#include "dialogs/InsertTokenModels.h"
#include "ui/DialogBase.h"
#include "ui/Labels.h"

namespace lumatag {

// The part every insert dialog shares: a titled group of radio buttons, a sample, OK and Cancel.
class InsertTokenDialog : public ui::DialogBase {
 public:
  InsertTokenDialog(ui::UiContext& ui, QWidget* owner, std::uint16_t titleId, int helpContext);
  // The token OK produced.
  const std::u16string& Token() const { return token_; }
  QRadioButton* Radio(int index) const { return radios_.at(static_cast<std::size_t>(index)); }
  ui::SampleLabel* SampleArea() const { return sample_; }

 protected:
  QString Text(std::uint16_t id) const;
  // Builds the group with one radio button per text; the first is checked.
  void BuildGroup(std::uint16_t groupId, std::initializer_list<std::uint16_t> radioIds,
                  QLayout* extra = nullptr);
  // Adds "Sample output:" and the sample area.
  void BuildSample(std::uint16_t tooltipId);
  void BuildButtons();
  void ShowSample(const SampleText& sample);
  // OK: the token, or the refusal shown with its message and the focus on its field.
  Status Finish(const TokenResult& result, QWidget* field);
  virtual void Refresh() {}

  QVBoxLayout* layout_ = nullptr;
  std::vector<QRadioButton*> radios_;
  QButtonGroup* group_ = nullptr;
  ui::SampleLabel* sample_ = nullptr;
  std::u16string token_;
};

class InsertNameDialog final : public InsertTokenDialog {
 public:
  InsertNameDialog(ui::UiContext& ui, QWidget* owner, const PatternSample& sample);

 protected:
  void Refresh() override;
  Status Commit(bool* mayClose) override;

 private:
  InsertNameModel model_;
};

class InsertNumberDialog final : public InsertTokenDialog {
 public:
  InsertNumberDialog(ui::UiContext& ui, QWidget* owner);
  QLineEdit* FirstNumber() const { return first_; }
  QComboBox* Digits() const { return digits_; }

 protected:
  void Refresh() override;
  Status Commit(bool* mayClose) override;

 private:
  InsertNumberModel model_;
  QLineEdit* first_ = nullptr;
  QComboBox* digits_ = nullptr;
};

class DatePieceWidget final : public InsertTokenDialog {
 public:
  DatePieceWidget(ui::UiContext& ui, QWidget* owner, DatePieceKind kind, const SystemTime& date,
                  const DateLocale& locale);

 protected:
  void Refresh() override;
  Status Commit(bool* mayClose) override;

 private:
  DatePieceModel model_;
};

class InsertDateDialog final : public InsertTokenDialog {
 public:
  InsertDateDialog(ui::UiContext& ui, QWidget* owner, ui::DialogRunner& runner,
                   const PatternSample& sample);
  QLineEdit* Format() const { return format_; }
  QPushButton* PieceButton(DatePieceKind kind) const { return pieceButtons_[kind]; }
  ui::InsertionMarker* Marker() const { return marker_; }
  // Opens the date-piece dialog of `kind` and inserts its piece into the format.
  void InsertPiece(DatePieceKind kind);

 protected:
  void Refresh() override;
  Status Commit(bool* mayClose) override;

 private:
  void FollowCaret();

  ui::DialogRunner& runner_;
  const PatternSample& sampleData_;
  InsertDateModel model_;
  QLineEdit* format_ = nullptr;
  ui::InsertionMarker* marker_ = nullptr;
  QPushButton* pieceButtons_[kPieceKindCount] = {};
};

class InsertMetadataDialog final : public InsertTokenDialog {
 public:
  InsertMetadataDialog(ui::UiContext& ui, QWidget* owner, const KeywordTable& keywords,
                       const PatternSample& sample);
  QListWidget* Names() const { return names_; }
  QLineEdit* Id() const { return id_; }

 protected:
  void Refresh() override;
  Status Commit(bool* mayClose) override;

 private:
  InsertMetadataModel model_;
  QListWidget* names_ = nullptr;
  QLineEdit* id_ = nullptr;
};

class InsertCharacterDialog final : public InsertTokenDialog {
 public:
  InsertCharacterDialog(ui::UiContext& ui, QWidget* owner);

 protected:
  Status Commit(bool* mayClose) override;

 private:
  InsertCharacterModel model_;
};

}  // namespace lumatag
