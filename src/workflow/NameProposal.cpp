#include "workflow/NameProposal.h"

namespace lumatag {

int ExtensionDot(std::u16string_view name) {
  const int length = static_cast<int>(name.size());
  for (int i = length - 1; i >= 0 && i >= length - 5; --i) {
    const char16_t c = name[static_cast<std::size_t>(i)];
    if (c == u'.') return i;
    if (c == u'\\' || c == u'/' || c == u':') return -1;
  }
  return -1;
}

std::u16string_view ExtensionOf(std::u16string_view name) {
  const int dot = ExtensionDot(name);
  return dot < 0 ? std::u16string_view() : name.substr(static_cast<std::size_t>(dot) + 1);
}

bool IsNameTooLong(std::u16string_view name) {
  if (static_cast<int>(name.size()) > kMaxPhotoNameLength) return true;
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = name[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
               name[i + 1] <= 0xDFFF) {
      bytes += 4;
      ++i;
    } else if (c >= 0xDC80 && c <= 0xDCFF) {
      bytes += 1;  // a byte of a name that is not UTF-8, written back as that byte
    } else {
      bytes += 3;
    }
  }
  return bytes > static_cast<std::size_t>(kMaxPhotoNameLength);
}

bool IsValidFileName(std::u16string_view name) {
  if (name.empty() || IsNameTooLong(name)) return false;
  if (name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (IsInvalidFileNameChar(c)) return false;
  }
  return true;
}

NameProposer::NameProposer(const AppContext& context, const PatternCatalogue& catalogue,
                           const ExtensionList& extensions, PhotoList& list)
    : catalogue_(catalogue), lookup_(extensions), list_(list) {
  environment_.app = &context;
  environment_.catalogue = &catalogue_;
  environment_.extensions = &lookup_;
}

const NamingPattern* NameProposer::PatternAt(std::uint16_t index) const {
  if (index == kNoPatternIndex || index >= catalogue_.Count()) return nullptr;
  return &catalogue_.At(index);
}

std::uint32_t NameProposer::SequenceStartOf(std::uint16_t pattern, bool firstPhoto,
                                            bool* found) const {
  bool dummy = false;
  if (found == nullptr) found = &dummy;
  const NamingPattern* p = PatternAt(pattern);
  if (p == nullptr) {
    *found = false;
    return 0;
  }
  return SequenceStart(*p, firstPhoto, found);
}

Status NameProposer::Generate(int index, std::uint16_t pattern, int baseName, bool firstPhoto,
                              std::uint32_t number, CountedString& name) const {
  const NamingPattern* p = PatternAt(pattern);
  if (p == nullptr || index < 0 || index >= list_.Count()) return E_INVALIDARG;
  CountedString base;
  LT_TRY(base.Assign(list_.BaseNames().TextOf(baseName)));
  return GenerateName(environment_, p, &list_.At(index), &base, firstPhoto, number, &name);
}

Status NameProposer::ProposeName(int index, std::uint16_t pattern, int baseName,
                                 std::uint32_t number, CountedString& name) const {
  name.Truncate(0);
  if (index < 0 || index >= list_.Count() || PatternAt(pattern) == nullptr || baseName < 0) {
    return S_OK;
  }
  const bool first = number == SequenceStartOf(pattern, true, nullptr);
  const PhotoEntry& photo = list_.At(index);
  const Status generated = Generate(index, pattern, baseName, first, number, name);
  if (Succeeded(generated) && !name.IsEmpty()) {
    const int dot = ExtensionDot(photo.fileName.View());
    if (dot >= 0) LT_TRY(name.Append(photo.fileName.View().substr(static_cast<std::size_t>(dot))));
  } else if (Failed(generated)) {
    name.Truncate(0);
    if ((photo.flags & kPhotoUnnamed) == 0) LT_TRY(name.Assign(photo.fileName));
  }
  if (name.Length() > kMaxPhotoNameLength) return E_BUFFER_TOO_SMALL;
  return S_OK;
}

Status NameProposer::MakeUniqueName(CountedString& name, int index, std::uint16_t pattern,
                                    int baseName, std::uint32_t* number) const {
  if (index < 0 || index >= list_.Count() || PatternAt(pattern) == nullptr || baseName < 0 ||
      baseName >= list_.BaseNames().Count()) {
    return E_INVALIDARG;
  }
  bool found = false;
  const std::uint32_t first = SequenceStartOf(pattern, true, &found);
  bool firstPhoto = *number == first;
  if (!firstPhoto) {
    const std::uint32_t second = SequenceStartOf(pattern, false, &found);
    if (second > *number) *number = second;
  }
  const std::u16string_view current = list_.At(index).fileName.View();
  const int currentDot = ExtensionDot(current);
  for (;;) {
    LT_TRY(Generate(index, pattern, baseName, firstPhoto, *number, name));
    // A generated name without an extension takes the photo's own.
    if (ExtensionDot(name.View()) < 0 && currentDot >= 0) {
      LT_TRY(name.Append(current.substr(static_cast<std::size_t>(currentDot))));
    }
    if (list_.FindOtherWithName(name.View(), index) < 0 && !Blocked(index, name.View())) {
      return S_OK;
    }
    if (firstPhoto) {
      firstPhoto = false;
      *number = SequenceStartOf(pattern, false, &found);
    } else if (!found || *number == UINT32_MAX) {
      return E_FAIL;
    } else {
      ++*number;
    }
  }
}

}  // namespace lumatag
