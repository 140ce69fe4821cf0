#include "patterns/NameMatcher.h"

#include "patterns/PatternCatalogue.h"

namespace lumatag {

bool IsCameraGeneratedName(std::u16string_view, const PhotoExtensionLookup*,
                           std::uint32_t* number) {
  if (number != nullptr) *number = 0;
  return false;
}

bool IsAutomaticPattern(const NamingPattern& pattern) {
  return pattern.IsBuiltIn() && pattern.definition.View() == u" ";
}

Status MatchName(const NamingPattern*, PhotoFacts*, const CountedString*,
                 const PhotoExtensionLookup*, NameMatch* result, const DateLocale*) {
  if (result != nullptr) *result = NameMatch{};
  return E_NOTIMPL;
}

PatternListView PatternListView::Naming(const PatternCatalogue& catalogue) {
  PatternListView view;
  view.catalogue_ = &catalogue;
  return view;
}

PatternListView PatternListView::AutomaticList(const PatternCatalogue& catalogue) {
  PatternListView view;
  view.catalogue_ = &catalogue;
  view.automatic_ = true;
  return view;
}

int PatternListView::Count() const {
  if (array_ != nullptr) return array_->Count();
  return automatic_ ? catalogue_->AutomaticCount() : catalogue_->Count();
}

const NamingPattern& PatternListView::At(int index) const {
  if (array_ != nullptr) return array_->At(index);
  return automatic_ ? catalogue_->AutomaticAt(index) : catalogue_->At(index);
}

Status FindBestPattern(const PatternListView*, PhotoFacts*, const CountedString*,
                       const PhotoExtensionLookup*, BestPattern* result, const DateLocale*) {
  if (result != nullptr) *result = BestPattern{};
  return E_NOTIMPL;
}

}  // namespace lumatag
