#include "workflow/NameCheck.h"

#include <string>

#include "foundation/StringIds.h"
#include "patterns/Classification.h"
#include "patterns/NameMatcher.h"
#include "ports/TextComparer.h"

namespace lumatag {

namespace {

NameCheckResult Verdict(NameVerdict verdict, Status status, std::uint16_t messageId) {
  NameCheckResult result;
  result.verdict = verdict;
  result.status = status;
  result.messageId = messageId;
  return result;
}

bool SameExtension(std::u16string_view a, std::u16string_view b) {
  return CompareInvariant(a, b, true) == 0;
}

}  // namespace

NameCheckResult NameChecker::CheckExtension(CountedString& name, int index, bool ask,
                                            bool changeAgreed) const {
  const int newDot = ExtensionDot(name.View());
  if (newDot >= 0 && !ask) return {};
  if (index < 0 || index >= list_.Count()) {
    return Verdict(NameVerdict::kCheckFailed, E_INVALIDARG, IDS_ERR_CHECK_UNIQUE);
  }
  const std::u16string_view current = list_.At(index).fileName.View();
  const int oldDot = ExtensionDot(current);
  if (oldDot < 0) return {};
  if (newDot < 0) {
    const Status appended = name.Append(current.substr(static_cast<std::size_t>(oldDot)));
    if (Failed(appended)) return Verdict(NameVerdict::kCheckFailed, appended, IDS_ERR_CHECK_UNIQUE);
    return {};
  }
  const std::u16string_view newExtension = name.View().substr(static_cast<std::size_t>(newDot) + 1);
  if (SameExtension(newExtension, current.substr(static_cast<std::size_t>(oldDot) + 1))) return {};
  if (!extensions_.Find(newExtension)) {
    return Verdict(NameVerdict::kExtensionNotListed, E_CANCELLED, IDS_ERR_EXTENSION_NOT_SUPPORTED);
  }
  if (changeAgreed) return {};
  return Verdict(NameVerdict::kExtensionChange, E_CANCELLED, IDS_ASK_EXTENSION_CHANGE);
}

NameCheckResult NameChecker::Check(CountedString& name, int index, NameValues* values,
                                   const NameCheckOptions& options) const {
  if (index < 0 || index >= list_.Count()) {
    return Verdict(NameVerdict::kCheckFailed, E_INVALIDARG, 0);
  }
  // A name that is no plain file name is refused even in a batch: it could move the photo out of
  // the working folder.
  if (IsNameTooLong(name.View())) {
    return Verdict(NameVerdict::kTooLong, E_NAME_TOO_LONG, IDS_ERR_NAME_TOO_LONG);
  }
  if (!IsValidFileName(name.View())) {
    return Verdict(NameVerdict::kInvalidCharacters, E_FAIL, IDS_ERR_PHOTO_NAME_INVALID_CHARACTER);
  }
  const std::u16string_view current = list_.At(index).fileName.View();
  if (!options.quiet && catalogue_.Automatic() != nullptr) {
    // Judged on the name the file will have: a typed "DSC_1234" becomes "DSC_1234.JPG", which the
    // next scan would list as unnamed.
    std::u16string final(name.View());
    const int currentDot = ExtensionDot(current);
    if (ExtensionDot(final) < 0 && currentDot >= 0) {
      final += current.substr(static_cast<std::size_t>(currentDot));
    }
    if (IsCameraGeneratedName(final, &proposer_.Lookup())) {
      return Verdict(NameVerdict::kCameraGenerated, E_FAIL, IDS_ERR_CAMERA_GENERATED_NAME);
    }
  }
  NameCheckResult extension =
      CheckExtension(name, index, !options.quiet, options.extensionChangeAgreed);
  if (!extension.Accepted()) return extension;
  const int other = list_.FindOtherWithName(name.View(), index);
  // Taken by no photo, but by a file a companion would move to: the name's own values go on.
  const bool blocked = other < 0 && proposer_.Blocked(index, name.View());
  if (other < 0 && !blocked) return Final(name, index, options);
  if (!options.quiet && !options.uniqueNameAgreed) {
    return Verdict(NameVerdict::kNameTaken, E_ALREADY_PRESENT, IDS_ASK_PROPOSE_UNIQUE_NAME);
  }

  NameValues unique = values != nullptr ? *values : NameValues();
  if (other >= 0) {
    const PhotoEntry& taken = list_.At(other);
    int otherBase = list_.BaseNames().NoBaseNameIndex();
    if (taken.baseNameLength > 0 &&
        taken.baseNameStart + taken.baseNameLength <= taken.fileName.Length()) {
      const Status added = list_.BaseNames().Add(
          taken.fileName.View().substr(taken.baseNameStart, taken.baseNameLength), &otherBase);
      if (Failed(added)) return Verdict(NameVerdict::kCheckFailed, added, 0);
    }
    unique.pattern = PatternIndex(taken);
    unique.baseName = otherBase;
    unique.number = taken.number;
  }
  CountedString uniqueName;
  const Status made =
      proposer_.MakeUniqueName(uniqueName, index, unique.pattern, unique.baseName, &unique.number);
  if (Failed(made)) return Verdict(NameVerdict::kNoUniqueName, made, IDS_ERR_CREATE_UNIQUE_NAME);
  if (!IsValidFileName(uniqueName.View())) {
    return Verdict(NameVerdict::kNoUniqueName, E_BUFFER_TOO_SMALL, IDS_ERR_CREATE_UNIQUE_NAME);
  }
  const Status assigned = name.Assign(uniqueName);
  if (Failed(assigned)) return Verdict(NameVerdict::kCheckFailed, assigned, 0);
  *values = unique;
  return Final(name, index, options);
}

NameCheckResult NameChecker::Final(const CountedString& name, int index,
                                   const NameCheckOptions& options) const {
  // A unique name is generated: it must still be a plain file name.
  if (IsNameTooLong(name.View())) {
    return Verdict(NameVerdict::kTooLong, E_NAME_TOO_LONG, IDS_ERR_NAME_TOO_LONG);
  }
  if (!IsValidFileName(name.View())) {
    return Verdict(NameVerdict::kInvalidCharacters, E_FAIL, IDS_ERR_PHOTO_NAME_INVALID_CHARACTER);
  }
  if (options.quiet && !options.extensionChangeAgreed) {
    // In a batch nobody is asked: a name that would change the photo's extension is never applied.
    const std::u16string_view own = ExtensionOf(list_.At(index).fileName.View());
    if (!own.empty() && !SameExtension(ExtensionOf(name.View()), own)) {
      return Verdict(NameVerdict::kExtensionChange, E_CANCELLED, 0);
    }
  }
  return {};
}

}  // namespace lumatag
