// The application's list of named patterns: the built-in patterns, the user's stored patterns and
// the default pattern, kept sorted by name; and the separate one-entry list of the Automatic
// pattern that recognises camera-generated names.
//
// The default is an index into the sorted list, so every insertion, removal and re-sort moves it
// with its pattern. A record with an empty name is a deleted pattern: it sorts after every named
// one and every list, match and save skips it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "foundation/ElementArray.h"
#include "patterns/PatternCompiler.h"
#include "ports/SettingsRecords.h"

namespace lumatag {

// Longest pattern name; longer stored names are cut.
inline constexpr int kMaxPatternName = 48;

// The Pattern Editor, opened on a working copy of a pattern (`isNew` for a pattern just added or
// copied). Returns S_OK when the person accepted (the copy then holds the edited name,
// description, definition and compiled form), E_CANCELLED when they cancelled, or a failure.
using PatternEditor = std::function<Status(NamingPattern& working, bool isNew)>;

class PatternCatalogue final : public SettingsSubkeyList {
 public:
  static constexpr std::uint16_t kNoDefault = 0xFFFF;
  // Flags.
  static constexpr std::uint32_t kPatternsCreated = 0x1;
  static constexpr std::uint32_t kDefaultAssigned = 0x2;
  static constexpr std::uint32_t kAutomaticCreated = 0x4;

  explicit PatternCatalogue(PrivateHeap* heap = &PrivateHeap::Process());

  // Creates the list when missing and inserts the sixteen built-in patterns, each compiled; makes
  // "2 digits in parentheses" the default.
  Status BuildBuiltIns(AppContext& context, const KeywordTable* keywords);
  // Creates the Automatic list when missing and inserts the Automatic pattern (never compiled).
  Status BuildAutomaticList(AppContext& context);

  // SettingsSubkeyList: the stored patterns in "Image File Patterns" and "Default Pattern".
  Status LoadFromSettings(SettingsStore& store, const SettingsKey& subkey, AppContext& context,
                          bool* settingsChanged) override;
  Status SaveToSettings(SettingsStore& store, const SettingsKey& subkey) override;

  // The index of the pattern of that name (compared as the list sorts: without regard to case),
  // or -1.
  int Find(std::u16string_view name) const;
  // Whether `name` is free for the pattern at `except` (-1: for a new pattern).
  bool IsNameAvailable(std::u16string_view name, int except) const;

  // The Patterns Manager's operations. Each returns E_CANCELLED when the person cancelled or was
  // already told of a failure. Add and Copy report the new pattern's index through `index`.
  Status AddPattern(AppContext& context, const PatternEditor& editor, int* index = nullptr);
  Status CopyPattern(AppContext& context, int source, const PatternEditor& editor,
                     int* index = nullptr);
  Status DeletePattern(AppContext& context, int index, bool ask);
  // The editor's failure comes back as it is, for the Patterns Manager to report.
  Status ModifyPattern(int index, const PatternEditor& editor, int* newIndex = nullptr);
  // The Pattern Editor's accepted result for the user pattern at `index`: name, description,
  // definition, compiled form and separator position are taken over, the pattern is marked
  // modified and moved to its sorted place; the default stays on the same pattern. E_INVALIDARG
  // for an empty name or a built-in pattern, E_ALREADY_PRESENT for a name another pattern has.
  Status ApplyEdit(int index, const NamingPattern& edited, int* newIndex = nullptr);

  // Inserts in sorted order and keeps the default on its pattern.
  Status Insert(NamingPattern pattern, int* position = nullptr);
  // Removes a record; a removal at or before the default moves the default back by one, and
  // removing the default itself makes the pattern before it the default (none at position 0).
  void RemoveAt(int index);

  // A copy for a dialog to work on: every record with its not-usable mark, the default, the
  // Automatic list.
  Status CopyFrom(const PatternCatalogue& source);

  int Count() const { return patterns_.Count(); }
  NamingPattern& At(int index) { return patterns_.At(index); }
  const NamingPattern& At(int index) const { return patterns_.At(index); }
  std::uint16_t DefaultIndex() const { return defaultIndex_; }
  void SetDefaultIndex(std::uint16_t index);
  const NamingPattern* DefaultPattern() const;
  std::uint32_t Flags() const { return flags_; }

  int AutomaticCount() const { return automatic_.Count(); }
  const NamingPattern& AutomaticAt(int index) const { return automatic_.At(index); }
  // The Automatic pattern, or nothing before the Automatic list exists.
  const NamingPattern* Automatic() const;
  std::uint16_t AutomaticIndex() const { return automaticIndex_; }

 private:
  NamingPattern NewRecord() const { return NamingPattern(heap_, keywords_); }
  Status AddNew(AppContext& context, const NamingPattern* source, const PatternEditor& editor,
                int* index);
  // Loads one stored pattern; false stops the enumeration (out of memory).
  bool LoadOne(AppContext& context, SettingsStore& store, const SettingsKey& subkey,
               std::uint32_t* index, std::uint32_t bufferChars);

  PrivateHeap* heap_;
  const KeywordTable* keywords_ = nullptr;
  std::uint32_t flags_ = 0;
  ElementArray<NamingPattern> patterns_;
  std::uint16_t defaultIndex_ = kNoDefault;
  ElementArray<NamingPattern> automatic_;
  std::uint16_t automaticIndex_ = 0;
};

}  // namespace lumatag
