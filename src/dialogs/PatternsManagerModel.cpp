#include "dialogs/PatternsManagerModel.h"

#include <algorithm>

namespace lumatag {

PatternsManagerModel::PatternsManagerModel(AppContext& context, const PatternCatalogue& current,
                                           int currentPattern)
    : context_(context), catalogue_(context.heap) {
  openStatus_ = catalogue_.CopyFrom(current);
  current_ = Succeeded(openStatus_) && currentPattern >= 0 && currentPattern < catalogue_.Count()
                 ? currentPattern
                 : -1;
  Rebuild();
  const int line = LineOf(catalogue_.DefaultIndex());
  Select(line >= 0 ? line : 0);
}

void PatternsManagerModel::Rebuild() {
  lines_.clear();
  if (Failed(openStatus_)) return;
  for (int i = 0; i < catalogue_.Count(); ++i) {
    const NamingPattern& pattern = catalogue_.At(i);
    if (pattern.IsDeleted() || !pattern.IsUsable()) continue;
    lines_.push_back(i);
  }
}

int PatternsManagerModel::LineOf(int patternIndex) const {
  const auto found = std::find(lines_.begin(), lines_.end(), patternIndex);
  return found == lines_.end() ? -1 : static_cast<int>(found - lines_.begin());
}

std::u16string_view PatternsManagerModel::LineText(int line) const {
  const int index = PatternIndexOf(line);
  return index < 0 ? std::u16string_view() : catalogue_.At(index).name.View();
}

int PatternsManagerModel::PatternIndexOf(int line) const {
  if (line < 0 || line >= LineCount()) return -1;
  return lines_[static_cast<std::size_t>(line)];
}

void PatternsManagerModel::Select(int line) {
  selection_ = LineCount() == 0 ? -1 : std::clamp(line, 0, LineCount() - 1);
}

bool PatternsManagerModel::CanDelete() const {
  const int index = PatternIndexOf(selection_);
  return index >= 0 && !catalogue_.At(index).IsBuiltIn();
}

void PatternsManagerModel::TrackInsertion(int index) {
  if (current_ >= 0 && index <= current_) ++current_;
}

void PatternsManagerModel::TrackMove(int from, int to) {
  if (current_ < 0) return;
  if (current_ == from) {
    current_ = to;
    return;
  }
  if (current_ > from) --current_;
  if (current_ >= to) ++current_;
}

void PatternsManagerModel::TrackRemoval(int index) {
  // The removed record goes, nameless, after every named one.
  if (current_ == index) {
    current_ = -1;
  } else if (current_ > index) {
    --current_;
  }
}

PatternEditor PatternsManagerModel::Bind(const Editor& editor) {
  return [this, &editor](NamingPattern& working, bool isNew) {
    return editor(catalogue_, working, isNew);
  };
}

Status PatternsManagerModel::Add(const Editor& editor) {
  const int before = PatternIndexOf(selection_);
  int index = -1;
  const Status status = catalogue_.AddPattern(context_, Bind(editor), &index);
  Rebuild();
  if (Succeeded(status) && index >= 0) {
    TrackInsertion(index);
    Select(LineOf(index));
    return S_OK;
  }
  // A cancelled Add leaves the list as it was; the nameless record sits after every named one.
  if (before >= 0) Select(LineOf(before));
  return status;
}

Status PatternsManagerModel::Copy(const Editor& editor) {
  const int source = PatternIndexOf(selection_);
  int index = -1;
  const Status status = catalogue_.CopyPattern(context_, source, Bind(editor), &index);
  Rebuild();
  if (Succeeded(status) && index >= 0) {
    TrackInsertion(index);
    Select(LineOf(index));
    return S_OK;
  }
  if (source >= 0) Select(LineOf(source));
  return status;
}

Status PatternsManagerModel::Modify(const Editor& editor) {
  const int index = PatternIndexOf(selection_);
  if (index < 0) return E_CANCELLED;
  int moved = index;
  const Status status = catalogue_.ModifyPattern(index, Bind(editor), &moved);
  if (Failed(status)) return status;
  TrackMove(index, moved);
  Rebuild();
  Select(LineOf(moved));
  return S_OK;
}

Status PatternsManagerModel::Delete() {
  const int line = selection_;
  const int index = PatternIndexOf(line);
  if (index < 0) return E_CANCELLED;
  const Status status = catalogue_.DeletePattern(context_, index, true);
  if (Failed(status)) return status;
  TrackRemoval(index);
  Rebuild();
  // The line that took its place, or the new last line.
  Select(std::min(line, LineCount() - 1));
  return S_OK;
}

}  // namespace lumatag
