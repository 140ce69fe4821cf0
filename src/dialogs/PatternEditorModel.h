// The Pattern Editor without its widgets. It works on a copy of one catalogue entry: name,
// description, the sequence clause and the optional first-photo clause. Every change of a clause
// is checked at once: the clause is compiled on its own with the caret as insertion point, the
// sample name (or the compiler's message, in the error style) is kept for the sample area, and the
// insertion point moves out of any token. OK runs the checks in their fixed order and, when they
// pass, writes the result into the working copy for the catalogue to take over.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "dialogs/PatternSample.h"
#include "patterns/PatternCatalogue.h"

namespace lumatag {

class PatternEditorModel {
 public:
  static constexpr int kDialogId = 1002;
  static constexpr int kHelpContext = 36;
  // Control numbers of the fields OK can send the focus to.
  static constexpr int kNameControl = 102;
  static constexpr int kSequenceControl = 104;
  static constexpr int kFirstControl = 115;

  enum Clause { kSequence = 0, kFirst = 1 };

  struct CommitResult {
    bool accepted = false;
    std::uint16_t messageId = 0;  // shown with ShowErrorMessage; 0 when nothing is shown
    int focusControl = 0;         // the field that receives the focus with its text selected
  };

  // `working` is the copy the editor changes; `catalogue` is the working catalogue, for the
  // uniqueness of the name (the entry being edited is found there by its current name). The
  // context is marked as having the Pattern Editor open for the model's lifetime, so that
  // [1:orig] previews the sample number.
  PatternEditorModel(AppContext& context, const PatternCatalogue& catalogue,
                     const PatternSample& sample, NamingPattern& working, bool isNew);
  ~PatternEditorModel();
  PatternEditorModel(const PatternEditorModel&) = delete;
  PatternEditorModel& operator=(const PatternEditorModel&) = delete;

  bool IsBuiltIn() const { return builtIn_; }
  bool IsNew() const { return isNew_; }
  // Built-in patterns are shown but nothing can be changed.
  bool ReadOnly() const { return builtIn_; }

  const std::u16string& Name() const { return name_; }
  void SetName(std::u16string_view name) { name_ = name; }
  const std::u16string& Description() const { return description_; }
  void SetDescription(std::u16string_view text) { description_ = text; }

  bool UseFirstClause() const { return useFirst_; }
  // Ticking or clearing the check box enables or disables the first-photo field and re-checks it.
  void SetUseFirstClause(bool use);
  bool FirstClauseEnabled() const { return useFirst_ && !builtIn_; }

  const std::u16string& ClauseText(Clause clause) const { return clauses_[clause].text; }
  // The clause's field changed; `caret` is the end of its selection. Runs the live check.
  void SetClauseText(Clause clause, std::u16string_view text, int caret);
  // The caret of a clause field moved: the insertion point follows it, out of any token.
  void SetCaret(Clause clause, int caret);
  int InsertionPosition(Clause clause) const { return clauses_[clause].insertion; }
  bool ClauseValid(Clause clause) const { return clauses_[clause].valid; }
  const SampleText& Sample(Clause clause) const { return clauses_[clause].sample; }

  // The field that receives inserted tokens: the clause field that last had the focus.
  Clause Target() const { return target_; }
  void SetTarget(Clause clause) { target_ = clause; }
  // Inserts a token into the target field: over its selection when it has one, else at the
  // insertion position; the caret ends right after the token. Returns that caret position.
  int InsertToken(std::u16string_view token, int selectionStart = 0, int selectionLength = 0);

  // OK. `confirmNotUnique` asks whether a definition that may not give unique names is to be used
  // anyway (true: use it). A built-in pattern closes without any check or change.
  CommitResult Commit(const std::function<bool()>& confirmNotUnique);

 private:
  struct ClauseState {
    std::u16string text;
    int caret = 0;
    int insertion = 0;
    bool valid = true;
    SampleText sample;
  };
  void Check(Clause clause);
  // Compiles one clause's text with the caret as insertion point; the message goes to `message`.
  Status CompileClause(std::u16string_view text, int* insertion, NamingPattern* target,
                       CountedString* message) const;

  AppContext& context_;
  const PatternCatalogue& catalogue_;
  const PatternSample& sample_;
  NamingPattern& working_;
  int self_;
  bool isNew_;
  bool builtIn_;
  OpenDialog previousDialog_;
  std::u16string name_;
  std::u16string description_;
  bool useFirst_ = false;
  ClauseState clauses_[2];
  Clause target_ = kSequence;
};

}  // namespace lumatag
