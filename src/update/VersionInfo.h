// The version document: what a check collects from it, and the comparison of version numbers.
//
// The document (all information in attributes, element text ignored):
//   versionData                      the root; no attributes
//     versLatest                     the latest versions, one "ver" per product
//       ver nm ver url dateHigh dateLow
//     hists                          the version histories
//       hist cnt nm                  one product's history (cnt 1-15 versions; before nm)
//         notes cnt dateHigh dateLow ver    one version (cnt 1-75 notes)
//           note desc                one release note
// Product names compare ignoring case. Dates are the two 32-bit halves of a file time.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/CountedString.h"
#include "foundation/ElementArray.h"
#include "foundation/SystemTime.h"
#include "update/XmlLoader.h"

namespace lumatag {

// One version of a product's history.
struct VersionHistoryEntry {
  CountedString version;
  SystemTime date;
  FileTime dateValue = 0;  // the date as the document gives it
  ElementArray<CountedString> notes{5};
};

class VersionInfo final : public XmlDocumentHandler {
 public:
  // Flags.
  static constexpr std::uint32_t kLatestFound = 0x1;
  static constexpr std::uint32_t kNewerAvailable = 0x2;
  static constexpr std::uint32_t kHistoryFound = 0x4;

  // The most versions a history announces, and the most notes a version announces.
  static constexpr std::uint32_t kMaxHistoryCount = 15;
  static constexpr std::uint32_t kMaxNoteCount = 75;

  // The program's own product name and version number; the texts must outlive the object.
  VersionInfo(std::u16string_view productName, std::u16string_view productVersion);

  std::uint32_t Flags() const { return flags_; }
  bool NewerAvailable() const { return (flags_ & kNewerAvailable) != 0; }

  // The latest-version entry of this product.
  const CountedString& LatestName() const { return latestName_; }
  const CountedString& LatestVersion() const { return latestVersion_; }
  const SystemTime& LatestDate() const { return latestDate_; }
  const CountedString& LatestUrl() const { return latestUrl_; }
  // This product's history, in document order.
  const CountedString& HistoryName() const { return historyName_; }
  const ElementArray<VersionHistoryEntry>& History() const { return history_; }

  Status EndDocument() override;
  Status BeginElement(std::uint16_t elementId) override;
  Status EndElement(std::uint16_t elementId) override;
  Status Attribute(std::uint16_t elementId, std::uint16_t attributeId,
                   std::u16string_view value) override;

 private:
  Status LatestAttribute(std::uint16_t attributeId, std::u16string_view value);
  Status HistAttribute(std::uint16_t attributeId, std::u16string_view value);
  Status NotesAttribute(std::uint16_t attributeId, std::u16string_view value);
  Status NoteAttribute(std::uint16_t attributeId, std::u16string_view value);

  std::u16string_view productName_;
  std::u16string_view productVersion_;
  std::uint32_t flags_ = 0;
  CountedString latestName_;
  CountedString latestVersion_;
  SystemTime latestDate_;
  FileTime latestDateValue_ = 0;
  CountedString latestUrl_;
  CountedString historyName_;
  ElementArray<VersionHistoryEntry> history_{5};
};

// The three numbers of a version text (major.minor.build): split at ".", a missing or empty part
// is 0, anything after the third dot is ignored. A part that is not an unsigned decimal number
// gives its parse failure.
Status ParseVersionNumber(std::u16string_view text, std::uint32_t parts[3]);
// Whether `candidate` is a newer version than `own`: greater at the first part that differs.
Status IsNewerVersion(std::u16string_view own, std::u16string_view candidate, bool* newer);

// Replaces the high (`high` true) or low half of a date's file time with a decimal number and sets
// the calendar fields from it. The file time is kept whole beside the fields: going through the
// fields alone would lose the part below a millisecond, and with it a carry into the high half.
// E_INVALID_INPUT for an empty value; the number's parse failure; E_INVALIDARG for a date past the
// calendar's end (nothing changes then).
Status SetDateHalf(FileTime& time, SystemTime& date, bool high, std::u16string_view value);

}  // namespace lumatag
