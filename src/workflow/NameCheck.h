// Checking a new name for a photo before it is applied: a plain file name, no camera-generated
// look, the extension, and uniqueness within the list (with a unique name made on request). The
// check shows nothing: it says what is wrong, or which question stands, as a typed result with the
// text to show; the controller shows it and, for a question, checks again with the answer.
#pragma once

#include <cstdint>

#include "foundation/CountedString.h"
#include "workflow/ExtensionList.h"
#include "workflow/NameProposal.h"
#include "workflow/PhotoList.h"

namespace lumatag {

enum class NameVerdict {
  kAccepted,
  kInvalidCharacters,   // refused: not a plain file name
  kTooLong,             // refused: longer than a file name can be
  kCameraGenerated,     // refused: reads as a camera-generated name
  kExtensionNotListed,  // refused: the new extension is not a photo extension
  kExtensionChange,     // question: change the photo's extension? (refused in a batch)
  kNameTaken,           // question: make a unique name? (answered Yes in a batch)
  kNoUniqueName,        // refused: no unique name could be made
  kCheckFailed,         // refused: the check itself failed
};

struct NameCheckResult {
  NameVerdict verdict = NameVerdict::kAccepted;
  // The status of a refusal, or of a question answered No.
  Status status = S_OK;
  // The text to show: the refusal's message, or the question; 0 for none.
  std::uint16_t messageId = 0;

  bool Accepted() const { return verdict == NameVerdict::kAccepted; }
  bool IsQuestion() const {
    return verdict == NameVerdict::kExtensionChange || verdict == NameVerdict::kNameTaken;
  }
};

struct NameCheckOptions {
  // A batch (Rename Remaining): names are not tested for a camera-generated look, a taken name is
  // made unique without asking, and a name whose extension differs from the photo's own is refused
  // unless the person agreed to it already.
  bool quiet = false;
  // Answers the person gave to the two questions.
  bool extensionChangeAgreed = false;
  bool uniqueNameAgreed = false;
};

// The pattern, base-name index and number a name stands for; a unique name replaces them.
struct NameValues {
  std::uint16_t pattern = kNoPatternIndex;
  int baseName = -1;
  std::uint32_t number = 0;
};

class NameChecker {
 public:
  NameChecker(const NameProposer& proposer, const PatternCatalogue& catalogue,
              const ExtensionList& extensions, PhotoList& list)
      : proposer_(proposer), catalogue_(catalogue), extensions_(extensions), list_(list) {}

  // The extension of a new name for photo `index`. Without `ask`, a name that has an extension is
  // taken as it is; a name without one gets the photo's own appended in either case.
  NameCheckResult CheckExtension(CountedString& name, int index, bool ask, bool changeAgreed) const;
  // The whole check; `name` may gain the photo's extension or be replaced by a unique name (and
  // `values` with it).
  NameCheckResult Check(CountedString& name, int index, NameValues* values,
                        const NameCheckOptions& options) const;

 private:
  // The last word on the name that will be applied.
  NameCheckResult Final(const CountedString& name, int index,
                        const NameCheckOptions& options) const;

  const NameProposer& proposer_;
  const PatternCatalogue& catalogue_;
  const ExtensionList& extensions_;
  PhotoList& list_;
};

}  // namespace lumatag
