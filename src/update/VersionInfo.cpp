#include "update/VersionInfo.h"

#include "foundation/Numbers.h"
#include "ports/TextComparer.h"

namespace lumatag {

namespace {

// The element each element must sit under; 0 for the root, kNoParent for names that are only
// attribute names.
constexpr std::uint16_t kNoParent = 0xFFFF;

std::uint16_t RequiredParent(std::uint16_t elementId) {
  switch (elementId) {
    case IDS_XML_VERSION_DATA:
      return 0;
    case IDS_XML_VERS_LATEST:
    case IDS_XML_HISTS:
      return IDS_XML_VERSION_DATA;
    case IDS_XML_VER:
      return IDS_XML_VERS_LATEST;
    case IDS_XML_HIST:
      return IDS_XML_HISTS;
    case IDS_XML_NOTES:
      return IDS_XML_HIST;
    case IDS_XML_NOTE:
      return IDS_XML_NOTES;
    default:
      return kNoParent;
  }
}

bool SameProduct(const CountedString& name, std::u16string_view own) {
  return !name.IsEmpty() && CompareInvariant(name.View(), own, true) == 0;
}

}  // namespace

Status ParseVersionNumber(std::u16string_view text, std::uint32_t parts[3]) {
  for (int i = 0; i < 3; ++i) parts[i] = 0;
  std::size_t start = 0;
  for (int i = 0; i < 3 && start <= text.size(); ++i) {
    std::size_t end = text.find(u'.', start);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view part = text.substr(start, end - start);
    if (!part.empty()) {
      LT_TRY(ParseUInt32(part.data(), static_cast<int>(part.size()), &parts[i]));
    }
    start = end + 1;
  }
  return S_OK;
}

Status IsNewerVersion(std::u16string_view own, std::u16string_view candidate, bool* newer) {
  std::uint32_t mine[3];
  std::uint32_t theirs[3];
  LT_TRY(ParseVersionNumber(own, mine));
  LT_TRY(ParseVersionNumber(candidate, theirs));
  *newer = false;
  for (int i = 0; i < 3; ++i) {
    if (theirs[i] != mine[i]) {
      *newer = theirs[i] > mine[i];
      break;
    }
  }
  return S_OK;
}

Status SetDateHalf(FileTime& time, SystemTime& date, bool high, std::u16string_view value) {
  if (value.empty()) return E_INVALID_INPUT;
  std::uint32_t half = 0;
  LT_TRY(ParseUInt32(value.data(), static_cast<int>(value.size()), &half));
  const FileTime changed = high ? (time & 0xFFFFFFFFull) | (static_cast<FileTime>(half) << 32)
                                : (time & ~0xFFFFFFFFull) | half;
  SystemTime result;
  LT_TRY(FileTimeToSystemTime(changed, &result));
  time = changed;
  date = result;
  return S_OK;
}

VersionInfo::VersionInfo(std::u16string_view productName, std::u16string_view productVersion)
    : productName_(productName), productVersion_(productVersion) {}

Status VersionInfo::EndDocument() {
  // A document read to its end without this product's latest entry says nothing about it.
  return (flags_ & kLatestFound) != 0 ? S_OK : E_NOT_FOUND;
}

Status VersionInfo::BeginElement(std::uint16_t elementId) {
  XmlLoader& loader = *Loader();
  const std::uint16_t parent = RequiredParent(elementId);
  if (parent == kNoParent || parent != loader.ParentElement()) {
    return ReportElementProblem(loader, S_OK, elementId);
  }
  switch (elementId) {
    case IDS_XML_VER:
      // Each entry starts empty, so one product's values never carry into another's.
      if ((flags_ & kLatestFound) == 0) {
        latestName_.Clear();
        latestVersion_.Clear();
        latestUrl_.Clear();
        latestDate_ = SystemTime{};
        latestDateValue_ = 0;
      }
      break;
    case IDS_XML_HIST:
      // Entries added under other products' histories are not this product's.
      if ((flags_ & kHistoryFound) == 0) history_.Clear();
      break;
    case IDS_XML_NOTES: {
      const Status added = history_.Add(VersionHistoryEntry{});
      if (Failed(added)) return ReportElementProblem(loader, added, elementId);
      break;
    }
    default:
      break;
  }
  return S_OK;
}

Status VersionInfo::EndElement(std::uint16_t elementId) {
  switch (elementId) {
    case IDS_XML_VER: {
      if ((flags_ & kLatestFound) != 0 || !SameProduct(latestName_, productName_)) return S_OK;
      flags_ |= kLatestFound;
      bool newer = false;
      const Status compared = IsNewerVersion(productVersion_, latestVersion_.View(), &newer);
      if (Failed(compared)) return ReportAttributeProblem(*Loader(), E_INVALID_INPUT, IDS_XML_VER);
      if (!newer) return E_CANCELLED;  // nothing more to read
      flags_ |= kNewerAvailable;
      return S_OK;
    }
    case IDS_XML_VERS_LATEST:
      return (flags_ & kLatestFound) != 0 ? S_OK : E_NOT_FOUND;
    case IDS_XML_HIST:
      return (flags_ & kHistoryFound) != 0 ? E_CANCELLED : S_OK;
    default:
      return S_OK;
  }
}

Status VersionInfo::Attribute(std::uint16_t elementId, std::uint16_t attributeId,
                              std::u16string_view value) {
  switch (elementId) {
    case IDS_XML_VER:
      return LatestAttribute(attributeId, value);
    case IDS_XML_HIST:
      return HistAttribute(attributeId, value);
    case IDS_XML_NOTES:
      return NotesAttribute(attributeId, value);
    case IDS_XML_NOTE:
      return NoteAttribute(attributeId, value);
    case IDS_XML_VERS_LATEST:
    case IDS_XML_HISTS:
      return S_OK;
    default:
      return ReportAttributeProblem(*Loader(), S_OK, attributeId);
  }
}

Status VersionInfo::LatestAttribute(std::uint16_t attributeId, std::u16string_view value) {
  if ((flags_ & kLatestFound) != 0) return S_OK;
  XmlLoader& loader = *Loader();
  CountedString* target = nullptr;
  switch (attributeId) {
    case IDS_XML_NM:
      target = &latestName_;
      break;
    case IDS_XML_VER:
      target = &latestVersion_;
      break;
    case IDS_XML_URL:
      target = &latestUrl_;
      break;
    case IDS_XML_DATE_HIGH:
    case IDS_XML_DATE_LOW: {
      const Status set =
          SetDateHalf(latestDateValue_, latestDate_, attributeId == IDS_XML_DATE_HIGH, value);
      return Failed(set) ? ReportAttributeProblem(loader, set, attributeId) : S_OK;
    }
    default:
      return ReportAttributeProblem(loader, S_OK, attributeId);
  }
  if (value.empty()) return ReportAttributeProblem(loader, E_INVALID_INPUT, attributeId);
  const Status copied = target->Assign(value);
  return Failed(copied) ? ReportAttributeProblem(loader, copied, attributeId) : S_OK;
}

Status VersionInfo::HistAttribute(std::uint16_t attributeId, std::u16string_view value) {
  if ((flags_ & kHistoryFound) != 0) return S_OK;
  XmlLoader& loader = *Loader();
  switch (attributeId) {
    case IDS_XML_CNT: {
      std::uint32_t count = 0;
      const Status parsed = ParseCountAttribute(value, kMaxHistoryCount, &count);
      if (Failed(parsed)) return ReportAttributeProblem(loader, parsed, attributeId);
      history_.Clear();
      const Status reserved = history_.Reserve(static_cast<int>(count));
      return Failed(reserved) ? ReportAttributeProblem(loader, reserved, attributeId) : S_OK;
    }
    case IDS_XML_NM: {
      if (value.empty()) return ReportAttributeProblem(loader, E_INVALID_INPUT, attributeId);
      const Status copied = historyName_.Assign(value);
      if (Failed(copied)) return ReportAttributeProblem(loader, copied, attributeId);
      if (SameProduct(historyName_, productName_)) flags_ |= kHistoryFound;
      return S_OK;
    }
    default:
      return ReportAttributeProblem(loader, S_OK, attributeId);
  }
}

Status VersionInfo::NotesAttribute(std::uint16_t attributeId, std::u16string_view value) {
  if ((flags_ & kHistoryFound) == 0) return S_OK;
  XmlLoader& loader = *Loader();
  if (history_.Count() == 0) return ReportAttributeProblem(loader, E_UNEXPECTED, attributeId);
  VersionHistoryEntry& entry = history_[history_.Count() - 1];
  switch (attributeId) {
    case IDS_XML_CNT: {
      std::uint32_t count = 0;
      const Status parsed = ParseCountAttribute(value, kMaxNoteCount, &count);
      if (Failed(parsed)) return ReportAttributeProblem(loader, parsed, attributeId);
      entry.notes.Clear();
      const Status reserved = entry.notes.Reserve(static_cast<int>(count));
      return Failed(reserved) ? ReportAttributeProblem(loader, reserved, attributeId) : S_OK;
    }
    case IDS_XML_DATE_HIGH:
    case IDS_XML_DATE_LOW: {
      const Status set =
          SetDateHalf(entry.dateValue, entry.date, attributeId == IDS_XML_DATE_HIGH, value);
      return Failed(set) ? ReportAttributeProblem(loader, set, attributeId) : S_OK;
    }
    case IDS_XML_VER: {
      if (value.empty()) return ReportAttributeProblem(loader, E_INVALID_INPUT, attributeId);
      const Status copied = entry.version.Assign(value);
      return Failed(copied) ? ReportAttributeProblem(loader, copied, attributeId) : S_OK;
    }
    default:
      return ReportAttributeProblem(loader, S_OK, attributeId);
  }
}

Status VersionInfo::NoteAttribute(std::uint16_t attributeId, std::u16string_view value) {
  if ((flags_ & kHistoryFound) == 0) return S_OK;
  XmlLoader& loader = *Loader();
  if (attributeId != IDS_XML_DESC) return ReportAttributeProblem(loader, S_OK, attributeId);
  if (value.empty()) return ReportAttributeProblem(loader, E_INVALID_INPUT, attributeId);
  if (history_.Count() == 0) return ReportAttributeProblem(loader, E_UNEXPECTED, attributeId);
  CountedString note;
  Status status = note.Assign(value);
  if (Succeeded(status)) status = history_[history_.Count() - 1].notes.Add(std::move(note));
  return Failed(status) ? ReportAttributeProblem(loader, status, attributeId) : S_OK;
}

}  // namespace lumatag
