#include "dialogs/PatternEditorModel.h"

#include <algorithm>

#include "foundation/StringIds.h"
#include "patterns/NameGenerator.h"

namespace lumatag {

PatternEditorModel::PatternEditorModel(AppContext& context, const PatternCatalogue& catalogue,
                                       const PatternSample& sample, NamingPattern& working,
                                       bool isNew)
    : context_(context),
      catalogue_(catalogue),
      sample_(sample),
      working_(working),
      self_(catalogue.Find(working.name.View())),
      isNew_(isNew),
      builtIn_(working.IsBuiltIn()),
      previousDialog_(context.openDialog) {
  context_.openDialog = kDialogPatternEditor;
  name_ = working.name.View();
  description_ = working.description.View();

  // The definition is split at its separator into the first-photo and the sequence clause.
  const std::u16string_view definition = working.definition.View();
  const int separator = working.separatorPosition;
  if (separator >= 0 && separator < static_cast<int>(definition.size())) {
    useFirst_ = true;
    clauses_[kFirst].text = definition.substr(0, static_cast<std::size_t>(separator));
    clauses_[kSequence].text = definition.substr(static_cast<std::size_t>(separator) + 1);
  } else {
    clauses_[kSequence].text = definition;
  }
  for (ClauseState& clause : clauses_) {
    clause.caret = static_cast<int>(clause.text.size());
    clause.insertion = clause.caret;
  }
  Check(kSequence);
  Check(kFirst);
}

PatternEditorModel::~PatternEditorModel() {
  context_.openDialog = previousDialog_;
}

Status PatternEditorModel::CompileClause(std::u16string_view text, int* insertion,
                                         NamingPattern* target, CountedString* message) const {
  target->heap = working_.heap;
  target->keywords = working_.keywords;
  return CompileDefinition(context_, target, text, insertion, message);
}

void PatternEditorModel::Check(Clause clause) {
  ClauseState& state = clauses_[clause];
  if (clause == kFirst && !useFirst_) {
    state.sample = SampleText();
    return;
  }
  NamingPattern scratch;
  MessageString message;
  int insertion = std::clamp(state.caret, 0, static_cast<int>(state.text.size()));
  const Status compiled = CompileClause(state.text, &insertion, &scratch, &message);
  state.insertion = std::clamp(insertion, 0, static_cast<int>(state.text.size()));
  state.valid = Succeeded(compiled);
  if (!state.valid) {
    state.sample = {std::u16string(message.View()), true, 0};
    return;
  }
  CountedString name;
  const NamingEnvironment environment = sample_.Environment(context_, &catalogue_);
  const Status generated =
      GenerateName(environment, &scratch, &sample_.Photo(), &sample_.BaseName(), true,
                   SequenceStart(scratch, true), &name);
  if (Failed(generated)) {
    CountedString text;
    // A text that cannot be loaded leaves the sample empty; it is still marked as a problem.
    IgnoreStatus(LoadString(*context_.resourceModule, IDS_CONTROLS_NOT_UPDATED, text));
    state.sample = {std::u16string(text.View()), true, IDS_CONTROLS_NOT_UPDATED};
    return;
  }
  state.sample = SampleText::Plain(name.View());
}

void PatternEditorModel::SetUseFirstClause(bool use) {
  if (builtIn_) return;
  useFirst_ = use;
  if (!use && target_ == kFirst) target_ = kSequence;
  Check(kFirst);
}

void PatternEditorModel::SetClauseText(Clause clause, std::u16string_view text, int caret) {
  if (builtIn_) return;
  clauses_[clause].text = text;
  clauses_[clause].caret = caret;
  Check(clause);
}

void PatternEditorModel::SetCaret(Clause clause, int caret) {
  ClauseState& state = clauses_[clause];
  state.caret = caret;
  NamingPattern scratch;
  MessageString message;
  int insertion = std::clamp(caret, 0, static_cast<int>(state.text.size()));
  // Compiled only to find where a token would go; the clause's errors are shown when it changes.
  IgnoreStatus(CompileClause(state.text, &insertion, &scratch, &message));
  state.insertion = std::clamp(insertion, 0, static_cast<int>(state.text.size()));
}

int PatternEditorModel::InsertToken(std::u16string_view token, int selectionStart,
                                    int selectionLength) {
  const Clause clause = target_ == kFirst && FirstClauseEnabled() ? kFirst : kSequence;
  ClauseState& state = clauses_[clause];
  if (builtIn_) return state.caret;
  std::u16string text = state.text;
  const int caret =
      InsertReplacingSelection(text, token, state.insertion, selectionStart, selectionLength);
  SetClauseText(clause, text, caret);
  return caret;
}

PatternEditorModel::CommitResult PatternEditorModel::Commit(
    const std::function<bool()>& confirmNotUnique) {
  CommitResult result;
  if (builtIn_) {
    result.accepted = true;
    return result;
  }
  const auto refuse = [&result](std::uint16_t messageId, int control) {
    result.messageId = messageId;
    result.focusControl = control;
    return result;
  };

  while (!name_.empty() && IsWideSpace(name_.back())) name_.pop_back();
  if (name_.empty()) return refuse(IDS_ERR_PATTERN_NO_NAME, kNameControl);
  if (static_cast<int>(name_.size()) > kMaxPatternName) {
    return refuse(IDS_ERR_PATTERN_NAME_TOO_LONG, kNameControl);
  }
  if (!catalogue_.IsNameAvailable(name_, self_)) {
    return refuse(IDS_ERR_PATTERN_NAME_NOT_UNIQUE, kNameControl);
  }
  if (!clauses_[kSequence].valid)
    return refuse(IDS_ERR_PATTERN_INVALID_DEFINITION, kSequenceControl);

  std::u16string definition;
  if (useFirst_) {
    if (!clauses_[kFirst].valid) return refuse(IDS_ERR_PATTERN_INVALID_DEFINITION, kFirstControl);
    definition = clauses_[kFirst].text + u";" + clauses_[kSequence].text;
  } else {
    definition = clauses_[kSequence].text;
  }
  NamingPattern compiled;
  MessageString message;
  const Status status = CompileClause(definition, nullptr, &compiled, &message);
  if (status == E_OUTOFMEMORY) return refuse(0, kSequenceControl);  // already shown
  if (Failed(status)) {
    return refuse(useFirst_ ? IDS_ERR_SECOND_CLAUSE_INCREMENT : IDS_ERR_PATTERN_INVALID_DEFINITION,
                  kSequenceControl);
  }
  bool unique = false;
  if (Failed(CanProduceUniqueNames(&compiled, &unique))) unique = false;
  if (!unique && !(confirmNotUnique && confirmNotUnique())) return refuse(0, kSequenceControl);

  if (Failed(working_.name.Assign(name_)) || Failed(working_.description.Assign(description_)) ||
      Failed(working_.definition.Assign(definition))) {
    return refuse(IDS_CONTROLS_NOT_UPDATED, kSequenceControl);
  }
  working_.compiled = std::move(compiled.compiled);
  working_.separatorPosition = compiled.separatorPosition;
  working_.flags |= kPatternModified;
  working_.flags &= ~kPatternNotUsable;
  result.accepted = true;
  return result;
}

}  // namespace lumatag
