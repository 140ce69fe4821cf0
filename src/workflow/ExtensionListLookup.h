// The photo file extension list handed to name matching.
#pragma once

#include "patterns/PhotoExtensionLookup.h"
#include "workflow/ExtensionList.h"

namespace lumatag {

class ExtensionListLookup final : public PhotoExtensionLookup {
 public:
  explicit ExtensionListLookup(const ExtensionList& list) : list_(list) {}
  bool IsPhotoExtension(std::u16string_view extension) const override {
    return list_.Find(extension);
  }

 private:
  const ExtensionList& list_;
};

}  // namespace lumatag
