#include "patterns/PatternCatalogue.h"

#include "foundation/Numbers.h"
#include "foundation/StringTable.h"
#include "ports/Messages.h"
#include "ports/TextComparer.h"

namespace lumatag {

namespace {

// The enumeration of subkeys is over.
constexpr Status kNoMoreItems = MakeStatus(0x80070103);
// A name cut before a " #n" suffix is added.
constexpr int kUniqueNameStem = 44;

// Names compare locale-neutrally and without regard to case. A deleted record (empty name) sorts
// after every named one; as a key it goes after everything, so deleted records never collide.
int CompareNames(std::u16string_view key, std::u16string_view element) {
  if (key.empty()) return 1;
  if (element.empty()) return -1;
  return CompareInvariant(key, element, true);
}

int ComparePatterns(const NamingPattern& key, const NamingPattern& element) {
  return CompareNames(key.name.View(), element.name.View());
}

struct BuiltInPattern {
  std::uint16_t name;
  std::uint16_t definition;
  std::uint16_t description;
};

// In the order they are inserted.
constexpr BuiltInPattern kBuiltIns[] = {
    {IDS_PAT_PAREN_2ND_NAME, IDS_PAT_PAREN_2ND_DEF, IDS_PAT_PAREN_2ND_DESC},
    {IDS_PAT_DATE_NAME, IDS_PAT_DATE_DEF, IDS_PAT_DATE_DESC},
    {IDS_PAT_DATE_TIME_NAME, IDS_PAT_DATE_TIME_DEF, IDS_PAT_DATE_TIME_DESC},
    {IDS_PAT_HASH3_NAME, IDS_PAT_HASH3_DEF, IDS_PAT_HASH3_DESC},
    {IDS_PAT_HASH2_NAME, IDS_PAT_HASH2_DEF, IDS_PAT_HASH2_DESC},
    {IDS_PAT_ORIG_SEQ_NAME, IDS_PAT_ORIG_SEQ_DEF, IDS_PAT_ORIG_SEQ_DESC},
    {IDS_PAT_PAREN3_NAME, IDS_PAT_PAREN3_DEF, IDS_PAT_PAREN3_DESC},
    {IDS_PAT_PAREN2_NAME, IDS_PAT_PAREN2_DEF, IDS_PAT_PAREN2_DESC},
    {IDS_PAT_HASH3_COPYRIGHT_NAME, IDS_PAT_HASH3_COPYRIGHT_DEF, IDS_PAT_HASH3_COPYRIGHT_DESC},
    {IDS_PAT_HASH3_DIMENSIONS_NAME, IDS_PAT_HASH3_DIMENSIONS_DEF, IDS_PAT_HASH3_DIMENSIONS_DESC},
    {IDS_PAT_HASH3_COMMENT_NAME, IDS_PAT_HASH3_COMMENT_DEF, IDS_PAT_HASH3_COMMENT_DESC},
    {IDS_PAT_HASH3_EXPOSURE_NAME, IDS_PAT_HASH3_EXPOSURE_DEF, IDS_PAT_HASH3_EXPOSURE_DESC},
    {IDS_PAT_PAREN3_COPYRIGHT_NAME, IDS_PAT_PAREN3_COPYRIGHT_DEF, IDS_PAT_PAREN3_COPYRIGHT_DESC},
    {IDS_PAT_PAREN3_DIMENSIONS_NAME, IDS_PAT_PAREN3_DIMENSIONS_DEF, IDS_PAT_PAREN3_DIMENSIONS_DESC},
    {IDS_PAT_PAREN3_COMMENT_NAME, IDS_PAT_PAREN3_COMMENT_DEF, IDS_PAT_PAREN3_COMMENT_DESC},
    {IDS_PAT_PAREN3_EXPOSURE_NAME, IDS_PAT_PAREN3_EXPOSURE_DEF, IDS_PAT_PAREN3_EXPOSURE_DESC},
};

Status LoadTexts(const StringModule& module, NamingPattern& pattern, std::uint16_t name,
                 std::uint16_t definition, std::uint16_t description) {
  LT_TRY(LoadString(module, name, pattern.name));
  LT_TRY(pattern.storedName.Assign(pattern.name));
  LT_TRY(LoadString(module, definition, pattern.definition));
  return LoadString(module, description, pattern.description);
}

// The question about a stored pattern that could not be read as it was: "{1}" is the name (or the
// 1-based enumeration index when there is no name), "{3}" the compiler's message. True on Yes.
bool AskDeleteStoredPattern(AppContext& context, const CountedString& name, std::uint32_t index,
                            const CountedString& compilerMessage) {
  const StringModule& module = *context.resourceModule;
  MessageString text;
  FixedString<16> number;
  // The name goes in last, so that a "{2}" or "{3}" in it is shown as it is.
  Status status = LoadString(
      module, name.IsEmpty() ? IDS_ERR_READING_PATTERN_NUMBER : IDS_ERR_READING_PATTERN, text);
  if (Succeeded(status)) status = SubstitutePlaceholder(text, 3, compilerMessage);
  if (Succeeded(status)) {
    status = SubstitutePlaceholderEntry(text, 2, module, IDS_ASK_DELETE_STORED_PATTERN);
  }
  if (Succeeded(status) && name.IsEmpty()) status = FormatUInt32(number, index + 1);
  if (Succeeded(status)) status = SubstitutePlaceholder(text, 1, name.IsEmpty() ? number : name);
  if (Failed(status)) return false;
  return ShowMessage(context, text.CStr(), MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) == IDYES;
}

}  // namespace

PatternCatalogue::PatternCatalogue(PrivateHeap* heap)
    : heap_(heap),
      patterns_(2, true, &ComparePatterns, heap),
      automatic_(2, true, &ComparePatterns, heap) {}

// ------------------------------------------------------------------------------------------------
// Building

Status PatternCatalogue::BuildBuiltIns(AppContext& context, const KeywordTable* keywords) {
  keywords_ = keywords;
  if ((flags_ & kPatternsCreated) == 0) {
    LT_TRY(patterns_.Reserve(3));
    flags_ |= kPatternsCreated;
  }
  const StringModule& module = *context.resourceModule;
  for (const BuiltInPattern& builtIn : kBuiltIns) {
    NamingPattern pattern = NewRecord();
    pattern.flags = kPatternBuiltIn;
    LT_TRY(LoadTexts(module, pattern, builtIn.name, builtIn.definition, builtIn.description));
    // A definition that does not compile (a faulty translated table) has been shown to the
    // person; the pattern stays, out of use, and start-up goes on.
    if (Failed(EnsureCompiled(context, &pattern, true, nullptr, nullptr))) {
      pattern.flags |= kPatternNotUsable;
    }
    LT_TRY(Insert(std::move(pattern)));
  }
  const int found = Find(module.Text(IDS_PAT_PAREN2_NAME));
  if (found >= 0) SetDefaultIndex(static_cast<std::uint16_t>(found));
  return S_OK;
}

Status PatternCatalogue::BuildAutomaticList(AppContext& context) {
  if ((flags_ & kAutomaticCreated) == 0) {
    LT_TRY(automatic_.Reserve(1));
    flags_ |= kAutomaticCreated;
  }
  NamingPattern pattern = NewRecord();
  pattern.flags = kPatternBuiltIn;
  LT_TRY(LoadTexts(*context.resourceModule, pattern, IDS_PAT_AUTOMATIC_NAME, IDS_PAT_AUTOMATIC_DEF,
                   IDS_PAT_AUTOMATIC_DESC));
  LT_TRY(automatic_.Add(std::move(pattern)));
  automaticIndex_ = 0;
  return S_OK;
}

// ------------------------------------------------------------------------------------------------
// The sorted list and its default

int PatternCatalogue::Find(std::u16string_view name) const {
  int position = 0;
  if (name.empty()) return -1;
  const bool found = patterns_.Find(
      name,
      [](std::u16string_view key, const NamingPattern& element) {
        return CompareNames(key, element.name.View());
      },
      &position);
  return found ? position : -1;
}

bool PatternCatalogue::IsNameAvailable(std::u16string_view name, int except) const {
  const int found = Find(name);
  return found < 0 || found == except;
}

void PatternCatalogue::SetDefaultIndex(std::uint16_t index) {
  defaultIndex_ = index;
  if (index != kNoDefault) flags_ |= kDefaultAssigned;
}

const NamingPattern* PatternCatalogue::DefaultPattern() const {
  if (defaultIndex_ == kNoDefault || defaultIndex_ >= patterns_.Count()) return nullptr;
  return &patterns_.At(defaultIndex_);
}

Status PatternCatalogue::Insert(NamingPattern pattern, int* position) {
  int at = 0;
  LT_TRY(patterns_.Add(std::move(pattern), &at));
  if (defaultIndex_ != kNoDefault && at <= defaultIndex_) ++defaultIndex_;
  if (position != nullptr) *position = at;
  return S_OK;
}

void PatternCatalogue::RemoveAt(int index) {
  patterns_.RemoveAt(index);
  if (defaultIndex_ == kNoDefault || index > defaultIndex_) return;
  defaultIndex_ = defaultIndex_ == 0 ? kNoDefault : static_cast<std::uint16_t>(defaultIndex_ - 1);
}

Status PatternCatalogue::CopyFrom(const PatternCatalogue& source) {
  if (this == &source) return S_OK;
  const auto copy = [](const NamingPattern& from, NamingPattern& to) {
    LT_TRY(lumatag::CopyPattern(from, to));
    to.flags |= from.flags & kPatternNotUsable;
    return S_OK;
  };
  LT_TRY(patterns_.CopyFrom(source.patterns_, copy));
  LT_TRY(automatic_.CopyFrom(source.automatic_, copy));
  keywords_ = source.keywords_;
  flags_ = source.flags_;
  defaultIndex_ = source.defaultIndex_;
  automaticIndex_ = source.automaticIndex_;
  return S_OK;
}

const NamingPattern* PatternCatalogue::Automatic() const {
  if (automaticIndex_ >= automatic_.Count()) return nullptr;
  return &automatic_.At(automaticIndex_);
}

// ------------------------------------------------------------------------------------------------
// Stored patterns

Status PatternCatalogue::LoadFromSettings(SettingsStore& store, const SettingsKey& subkey,
                                          AppContext& context, bool* settingsChanged) {
  RegistryKeyInfo info;
  std::uint32_t bufferChars = 128;
  if (Succeeded(store.QueryKeyInfo(subkey, &info))) bufferChars = info.longestSubkeyName + 1;
  for (std::uint32_t index = 0;; ++index) {
    if (!LoadOne(context, store, subkey, &index, bufferChars)) break;
  }

  CountedString name(heap_);
  const Status read = store.GetString(subkey, IDS_REG_DEFAULT_PATTERN, u"", &name);
  const int found = Succeeded(read) ? Find(name.View()) : -1;
  if (found >= 0) {
    SetDefaultIndex(static_cast<std::uint16_t>(found));
  } else if (settingsChanged != nullptr) {
    // The built-in default stays; the next save writes "Default Pattern" again.
    *settingsChanged = true;
  }
  return S_OK;
}

bool PatternCatalogue::LoadOne(AppContext& context, SettingsStore& store, const SettingsKey& subkey,
                               std::uint32_t* index, std::uint32_t bufferChars) {
  CountedString subkeyName(heap_);
  const Status enumerated = store.EnumSubkeyName(subkey, *index, bufferChars, subkeyName);
  if (enumerated == kNoMoreItems || enumerated == E_OUTOFMEMORY) return false;

  bool readError = Failed(enumerated);
  bool inserted = false;
  int position = -1;
  NamingPattern pattern = NewRecord();
  MessageString compilerMessage;
  if (!readError) {
    if (Failed(pattern.name.Assign(subkeyName))) return false;
    pattern.name.TrimLeading();
    pattern.name.TrimTrailing();
    if (pattern.name.Length() > kMaxPatternName) {
      pattern.name.Truncate(kMaxPatternName);
      readError = true;
    }
    // A name of white space only would make the record a deleted one; say so.
    if (pattern.name.IsEmpty()) readError = true;

    SettingsKey patternKey;
    if (Failed(store.OpenSubkey(subkey, subkeyName.View(), &patternKey))) readError = true;
    if (store.GetString(patternKey, IDS_REG_DEFINITION, u" ", &pattern.definition) ==
            E_OUTOFMEMORY ||
        store.GetString(patternKey, IDS_REG_DESCRIPTION, u"", &pattern.description) ==
            E_OUTOFMEMORY) {
      return false;
    }
    patternKey.Close();

    // A name the catalogue already holds gets " #2", " #3", ... after its first 44 characters.
    if (Find(pattern.name.View()) >= 0) {
      if (pattern.name.Length() > kUniqueNameStem) pattern.name.Truncate(kUniqueNameStem);
      const int stem = pattern.name.Length();
      FixedString<16> number;
      for (std::uint32_t n = 2;; ++n) {
        pattern.name.Truncate(stem);
        if (Failed(AppendString(*context.resourceModule, IDS_PATTERN_DUPLICATE_SUFFIX,
                                pattern.name)) ||
            Failed(FormatUInt32(number, n)) || Failed(pattern.name.Append(number))) {
          return false;
        }
        if (Find(pattern.name.View()) < 0) break;
      }
    }
    if (Failed(pattern.storedName.Assign(pattern.name))) return false;

    if (Failed(
            CompileDefinition(context, &pattern, &pattern.definition, nullptr, &compilerMessage))) {
      pattern.flags |= kPatternNotUsable;
      readError = true;
    }
    if (Failed(Insert(std::move(pattern), &position))) return false;
    inserted = true;
  }

  if (readError) {
    const CountedString& name = inserted ? patterns_.At(position).name : pattern.name;
    if (AskDeleteStoredPattern(context, name, *index, compilerMessage)) {
      if (inserted) RemoveAt(position);
      // Only a subkey that is really gone moves the enumeration back; a failure of the
      // enumeration itself, or of the deletion, would otherwise come back at the same index
      // for ever.
      if (Succeeded(enumerated) && Succeeded(store.DeleteKeyTree(subkey, subkeyName.View()))) {
        --*index;
      }
    }
  }
  return true;
}

Status PatternCatalogue::SaveToSettings(SettingsStore& store, const SettingsKey& subkey) {
  bool failed = false;
  const auto count = [&failed](Status status) {
    if (Failed(status)) failed = true;
    return Succeeded(status);
  };
  if (const NamingPattern* pattern = DefaultPattern();
      pattern != nullptr && !pattern->IsDeleted()) {
    count(store.SetString(subkey, IDS_REG_DEFAULT_PATTERN, &pattern->name));
  }
  for (NamingPattern& pattern : patterns_) {
    if (pattern.IsBuiltIn() || pattern.IsDeleted()) continue;
    SettingsKey patternKey;
    if (!count(store.CreateSettingsKey(&subkey, pattern.name.View(), &patternKey))) continue;
    const bool definition =
        count(store.SetString(patternKey, IDS_REG_DEFINITION, &pattern.definition));
    const bool description =
        count(store.SetString(patternKey, IDS_REG_DESCRIPTION, &pattern.description));
    patternKey.Close();
    if (definition && description) {
      // Saved under its name: that is now its stored name, and nothing is left unsaved.
      if (count(pattern.storedName.Assign(pattern.name))) pattern.flags &= ~kPatternModified;
    }
  }
  return failed ? S_FALSE : S_OK;
}

// ------------------------------------------------------------------------------------------------
// The Patterns Manager's operations

Status PatternCatalogue::AddPattern(AppContext& context, const PatternEditor& editor, int* index) {
  return AddNew(context, nullptr, editor, index);
}

Status PatternCatalogue::CopyPattern(AppContext& context, int source, const PatternEditor& editor,
                                     int* index) {
  if (source < 0 || source >= Count()) {
    IgnoreStatus(ShowErrorMessage(context, IDS_ERR_ADDING_PATTERN));
    return E_CANCELLED;
  }
  return AddNew(context, &patterns_.At(source), editor, index);
}

Status PatternCatalogue::AddNew(AppContext& context, const NamingPattern* source,
                                const PatternEditor& editor, int* index) {
  const StringModule& module = *context.resourceModule;
  int position = -1;
  const auto add = [&]() -> Status {
    NamingPattern pattern = NewRecord();
    // "Pattern 1", "Pattern 2", ...: the smallest number that gives a free name.
    FixedString<16> number;
    for (std::uint32_t n = 1;; ++n) {
      LT_TRY(LoadString(module, IDS_NEW_PATTERN_NAME_PREFIX, pattern.name));
      LT_TRY(FormatUInt32(number, n));
      LT_TRY(pattern.name.Append(number));
      if (Find(pattern.name.View()) < 0) break;
    }
    LT_TRY(pattern.storedName.Assign(pattern.name));
    if (source != nullptr) {
      LT_TRY(pattern.definition.Assign(source->definition));
      LT_TRY(pattern.description.Assign(source->description));
    } else {
      LT_TRY(LoadString(module, IDS_NEW_PATTERN_DEFINITION, pattern.definition));
    }
    // A copied definition that does not compile leaves the new pattern for the editor to mend.
    MessageString ignored;
    if (Failed(EnsureCompiled(context, &pattern, true, nullptr, &ignored))) {
      pattern.flags |= kPatternNotUsable;
    }
    pattern.flags |= kPatternModified;
    LT_TRY(Insert(std::move(pattern), &position));
    if (!editor) return S_OK;

    NamingPattern working;
    LT_TRY(lumatag::CopyPattern(patterns_.At(position), working));
    const Status edited = editor(working, true);
    if (Failed(edited)) return edited;
    return ApplyEdit(position, working, &position);
  };

  const Status status = add();
  if (index != nullptr) *index = position;
  if (Succeeded(status)) return S_OK;
  // A cancelled editor takes the new pattern away again, without asking.
  if (position >= 0) {
    // Taking back the half-added pattern; the failure of the addition is what is reported.
    IgnoreStatus(DeletePattern(context, position, false));
    if (index != nullptr) *index = -1;
  }
  if (status != E_CANCELLED) IgnoreStatus(ShowErrorMessage(context, IDS_ERR_ADDING_PATTERN));
  return E_CANCELLED;
}

Status PatternCatalogue::DeletePattern(AppContext& context, int index, bool ask) {
  if (index < 0 || index >= Count() || patterns_.At(index).IsDeleted()) {
    IgnoreStatus(ShowErrorMessage(context, IDS_ERR_DELETING_PATTERN));
    return E_CANCELLED;
  }
  NamingPattern& pattern = patterns_.At(index);
  if (pattern.IsBuiltIn()) {
    IgnoreStatus(ShowErrorMessage(context, IDS_ERR_BUILTIN_NOT_DELETABLE));
    return E_CANCELLED;
  }
  if (ask && AskYesNo(context, IDS_ASK_DELETE_PATTERN, pattern.name.CStr()) != IDYES) {
    return E_CANCELLED;
  }
  // The record stays, nameless, at the end of the list; the next save leaves it out.
  NamingPattern deleted = std::move(pattern);
  deleted.name.Clear();
  deleted.flags |= kPatternModified;
  RemoveAt(index);
  if (Failed(Insert(std::move(deleted)))) {
    IgnoreStatus(ShowErrorMessage(context, IDS_ERR_DELETING_PATTERN));
    return E_CANCELLED;
  }
  return S_OK;
}

Status PatternCatalogue::ModifyPattern(int index, const PatternEditor& editor, int* newIndex) {
  if (newIndex != nullptr) *newIndex = index;
  if (index < 0 || index >= Count() || !editor) return E_INVALIDARG;
  NamingPattern working;
  LT_TRY(lumatag::CopyPattern(patterns_.At(index), working));
  const Status edited = editor(working, false);
  if (Failed(edited)) return edited;
  // The editor shows a built-in pattern but changes nothing in it.
  if (patterns_.At(index).IsBuiltIn()) return S_OK;
  return ApplyEdit(index, working, newIndex);
}

Status PatternCatalogue::ApplyEdit(int index, const NamingPattern& edited, int* newIndex) {
  if (index < 0 || index >= Count()) return E_INVALIDARG;
  NamingPattern& record = patterns_.At(index);
  if (record.IsBuiltIn() || edited.name.IsEmpty()) return E_INVALIDARG;
  if (!IsNameAvailable(edited.name.View(), index)) return E_ALREADY_PRESENT;

  // Build the new state aside, so that a failure leaves the record as it was.
  NamingPattern updated = NewRecord();
  LT_TRY(lumatag::CopyPattern(record, updated));
  LT_TRY(updated.name.Assign(edited.name));
  LT_TRY(updated.description.Assign(edited.description));
  LT_TRY(updated.definition.Assign(edited.definition));
  LT_TRY(updated.compiled.CopyFrom(edited.compiled, updated.heap));
  updated.separatorPosition = edited.separatorPosition;
  updated.flags |= kPatternModified;
  // A definition that compiled makes the pattern usable again.
  if (!updated.compiled.IsEmpty()) updated.flags &= ~kPatternNotUsable;

  // Take it out and put it in again at its sorted place; the default follows it.
  const bool wasDefault = defaultIndex_ == index;
  RemoveAt(index);
  int position = 0;
  const Status inserted = Insert(std::move(updated), &position);
  if (Failed(inserted)) {
    // Only an allocation can fail here, and the list has just given up a slot: not reached.
    return inserted;
  }
  if (wasDefault) SetDefaultIndex(static_cast<std::uint16_t>(position));
  if (newIndex != nullptr) *newIndex = position;
  return S_OK;
}

}  // namespace lumatag
