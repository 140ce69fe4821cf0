#include "dialogs/PatternSample.h"

#include <algorithm>

#include "foundation/StringIds.h"
#include "metadata/SamplePhoto.h"

namespace lumatag {

PatternSample::PatternSample() : locale_(&DateLocale::UserDefault()) {
  InitPhotoFacts(&photo_);
}

PatternSample::~PatternSample() {
  ClearPhotoFacts(&photo_);
}

Status PatternSample::Build(AppContext& context, const SystemTime& openedAt) {
  const StringModule& strings = *context.resourceModule;
  LT_TRY(BuildSamplePhoto(&photo_, context.heap, strings, openedAt));
  // The sample's current name is the camera's own name.
  SetClassification(&photo_, true, false, false);
  return LoadString(strings, IDS_SAMPLE_BASE_NAME, baseName_);
}

std::u16string_view PatternSample::OriginalStem() const {
  const std::u16string_view name = photo_.originalFileName.View();
  const int dot = FindExtensionDot(name);
  return dot < 0 ? name : name.substr(0, static_cast<std::size_t>(dot));
}

NamingEnvironment PatternSample::Environment(const AppContext& context,
                                             const PatternCatalogue* catalogue) const {
  NamingEnvironment environment;
  environment.app = &context;
  environment.catalogue = catalogue;
  environment.locale = locale_;
  return environment;
}

int InsertReplacingSelection(std::u16string& text, std::u16string_view insert, int position,
                             int selectionStart, int selectionLength) {
  const int size = static_cast<int>(text.size());
  int at = std::clamp(position, 0, size);
  if (selectionLength > 0) {
    at = std::clamp(selectionStart, 0, size);
    const int count = std::min(selectionLength, size - at);
    text.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
  }
  text.insert(static_cast<std::size_t>(at), insert);
  return at + static_cast<int>(insert.size());
}

}  // namespace lumatag
