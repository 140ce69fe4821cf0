#include "patterns/PatternCatalogue.h"

#include <string>
#include <vector>

#include "foundation/StringTable.h"
#include "patterns/PatternTestSupport.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "ports/SettingsRecords.h"
#include "ports/TextComparer.h"

namespace lumatag {
namespace {

std::u16string Text(std::uint16_t id) {
  return std::u16string(StringModule::BuiltIn().Text(id));
}

class PatternCatalogueTest : public PatternTest {
 protected:
  PatternCatalogueTest() {
    EXPECT_OK(catalogue_.BuildBuiltIns(context_, &keywords_));
    EXPECT_OK(catalogue_.BuildAutomaticList(context_));
    settings_.patterns = &catalogue_;
  }

  // A user pattern as the registry holds it; a null definition leaves the value out.
  void Store(std::u16string_view name, const char16_t* definition,
             std::u16string_view description = u"") {
    SettingsKey main;
    SettingsKey patterns;
    SettingsKey key;
    ASSERT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
    ASSERT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns));
    ASSERT_OK(store_.CreateSettingsKey(&patterns, name, &key));
    if (definition != nullptr) {
      ASSERT_OK(store_.SetString(key, u"Definition", definition));
    }
    ASSERT_OK(store_.SetString(key, u"Description", description));
  }
  void StoreDefault(std::u16string_view name) {
    SettingsKey main;
    SettingsKey patterns;
    ASSERT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
    ASSERT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns));
    ASSERT_OK(store_.SetString(patterns, u"Default Pattern", name));
  }
  bool Load() {
    bool changed = false;
    EXPECT_OK(LoadNamingSettings(store_, context_, settings_, nullptr, &changed));
    return changed;
  }
  // The catalogue's own part of the loading, with its settings-changed answer.
  bool LoadPatterns() {
    SettingsKey main;
    SettingsKey patterns;
    EXPECT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
    EXPECT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns));
    bool changed = false;
    EXPECT_OK(catalogue_.LoadFromSettings(store_, patterns, context_, &changed));
    return changed;
  }
  RegistryNode* PatternsNode() {
    RegistryNode* node = registry_.Root().FindSubkey(u"Software");
    for (const char16_t* name : {u"Quarrytree Software", u"Lumatag", u"Image File Patterns"}) {
      node = node != nullptr ? node->FindSubkey(name) : nullptr;
    }
    return node;
  }
  std::u16string StoredString(RegistryNode* node, std::u16string_view value) {
    const RegistryValue* stored = node != nullptr ? node->FindValue(value) : nullptr;
    if (stored == nullptr) return u"(missing)";
    std::u16string text(reinterpret_cast<const char16_t*>(stored->data.data()),
                        stored->data.size() / 2);
    if (!text.empty() && text.back() == 0) text.pop_back();
    return text;
  }
  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (int i = 0; i < catalogue_.Count(); ++i) {
      names.emplace_back(catalogue_.At(i).name.View());
    }
    return names;
  }
  std::u16string DefaultName() const {
    const NamingPattern* pattern = catalogue_.DefaultPattern();
    return pattern != nullptr ? std::u16string(pattern->name.View()) : u"(none)";
  }
  int IndexOf(std::u16string_view name) const { return catalogue_.Find(name); }

  MemoryRegistryStore registry_;
  SettingsStore store_{registry_};
  PatternCatalogue catalogue_;
  NamingSettings settings_;
};

// ------------------------------------------------------------------------------------------------
// Building

TEST_F(PatternCatalogueTest, BuiltInsAreSortedCompiledAndTheDefaultIsTwoDigitsInParentheses) {
  ASSERT_EQ(catalogue_.Count(), 16);
  for (int i = 0; i < catalogue_.Count(); ++i) {
    const NamingPattern& pattern = catalogue_.At(i);
    EXPECT_TRUE(pattern.IsBuiltIn());
    EXPECT_FALSE(pattern.compiled.IsEmpty());
    EXPECT_EQ(pattern.storedName.View(), pattern.name.View());
    if (i > 0) {
      EXPECT_LT(CompareInvariant(catalogue_.At(i - 1).name.View(), pattern.name.View(), true), 0);
    }
  }
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
  EXPECT_EQ(catalogue_.At(IndexOf(u"Hash sign & 3 digits")).definition.View(), u"[name] #[001]");
  EXPECT_EQ(catalogue_.Flags(), PatternCatalogue::kPatternsCreated |
                                    PatternCatalogue::kDefaultAssigned |
                                    PatternCatalogue::kAutomaticCreated);

  ASSERT_EQ(catalogue_.AutomaticCount(), 1);
  const NamingPattern* automatic = catalogue_.Automatic();
  ASSERT_NE(automatic, nullptr);
  EXPECT_EQ(automatic->name.View(), u"Automatic");
  EXPECT_EQ(automatic->definition.View(), u" ");
  EXPECT_TRUE(automatic->IsBuiltIn());
  EXPECT_TRUE(automatic->compiled.IsEmpty());
  EXPECT_EQ(catalogue_.Find(u"automatic"), -1);
  EXPECT_EQ(catalogue_.Find(u"hash SIGN & 3 DIGITS"), IndexOf(u"Hash sign & 3 digits"));
}

// ------------------------------------------------------------------------------------------------
// Loading and saving

TEST_F(PatternCatalogueTest, EmptyRegistryKeepsTheBuiltInDefaultAndTheFirstSaveWritesIt) {
  EXPECT_TRUE(Load());
  EXPECT_EQ(catalogue_.Count(), 16);
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
  ASSERT_NE(PatternsNode(), nullptr);
  EXPECT_EQ(StoredString(PatternsNode(), u"Default Pattern"), u"(missing)");

  ASSERT_OK(SaveNamingSettings(store_, settings_));
  EXPECT_EQ(StoredString(PatternsNode(), u"Default Pattern"), u"2 digits in parentheses");
  EXPECT_TRUE(PatternsNode()->subkeys.empty());  // built-ins are never written
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternCatalogueTest, StoredPatternsLoadWithTheirDefault) {
  Store(u"  Trip  ", u"[name] - [001]", u"For trips");
  Store(u"Beach", u"[name];[name] ([2])");
  StoreDefault(u"trip");
  EXPECT_FALSE(LoadPatterns());
  ASSERT_EQ(catalogue_.Count(), 18);
  const NamingPattern& trip = catalogue_.At(IndexOf(u"Trip"));
  EXPECT_FALSE(trip.IsBuiltIn());
  EXPECT_TRUE(trip.IsUsable());
  EXPECT_EQ(trip.flags, 0u);
  EXPECT_EQ(trip.storedName.View(), u"Trip");
  EXPECT_EQ(trip.description.View(), u"For trips");
  EXPECT_FALSE(trip.compiled.IsEmpty());
  EXPECT_EQ(catalogue_.At(IndexOf(u"Beach")).separatorPosition, 6);
  EXPECT_EQ(DefaultName(), u"Trip");
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternCatalogueTest, DefaultNamingNoPatternKeepsTheBuiltInAndMarksTheSettingsChanged) {
  StoreDefault(u"Gone");
  EXPECT_TRUE(LoadPatterns());
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
}

TEST_F(PatternCatalogueTest, NameOfABuiltInLoadsWithANumber) {
  Store(u"hash sign & 3 digits", u"[name] [001]");
  Store(u" Beach", u"[name]");
  Store(u"beach ", u"[name] x");
  StoreDefault(u"2 digits in parentheses");
  EXPECT_FALSE(LoadPatterns());
  EXPECT_GE(IndexOf(u"hash sign & 3 digits #2"), 0);
  EXPECT_EQ(catalogue_.At(IndexOf(u"hash sign & 3 digits #2")).definition.View(), u"[name] [001]");
  EXPECT_EQ(catalogue_.At(IndexOf(u"Hash sign & 3 digits")).definition.View(), u"[name] #[001]");
  EXPECT_GE(IndexOf(u"Beach"), 0);
  EXPECT_GE(IndexOf(u"beach #2"), 0);
  EXPECT_EQ(catalogue_.At(IndexOf(u"beach #2")).storedName.View(), u"beach #2");
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternCatalogueTest, LongDuplicateNamesAreCutBeforeTheirNumber) {
  const std::u16string name(48, u'n');
  Store(name, u"[name]");
  Store(name + u" ", u"[name] x");  // a different subkey that trims to the same name
  Load();
  EXPECT_GE(IndexOf(name), 0);
  EXPECT_GE(IndexOf(std::u16string(44, u'n') + u" #2"), 0);
}

TEST_F(PatternCatalogueTest, FiftyCharacterNameIsCutAndTheDeleteQuestionAsked) {
  const std::u16string name = std::u16string(40, u'a') + u"0123456789";
  Store(name, u"[name]");
  presenter_.Answer(IDNO);
  Load();
  const int index = IndexOf(name.substr(0, 48));
  ASSERT_GE(index, 0);
  EXPECT_TRUE(catalogue_.At(index).IsUsable());
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text,
            u"An error occurred reading file naming pattern '" + name.substr(0, 48) +
                u"' from the registry.  Do you want to delete this pattern from the registry?\n\n");
  EXPECT_EQ(presenter_.shown[0].flags, 0x144u);
  // Kept: the next save writes it under its cut name.
  ASSERT_OK(SaveNamingSettings(store_, settings_));
  EXPECT_NE(PatternsNode()->FindSubkey(name.substr(0, 48)), nullptr);
  EXPECT_EQ(PatternsNode()->FindSubkey(name), nullptr);
}

TEST_F(PatternCatalogueTest, DefinitionThatDoesNotCompileIsKeptButNotUsable) {
  Store(u"Broken", u"x;y;z");
  presenter_.Answer(IDNO);
  Load();
  const int index = IndexOf(u"Broken");
  ASSERT_GE(index, 0);
  EXPECT_FALSE(catalogue_.At(index).IsUsable());
  EXPECT_TRUE(catalogue_.At(index).compiled.IsEmpty());
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text,
            u"An error occurred reading file naming pattern 'Broken' from the registry.  Do you "
            u"want to delete this pattern from the registry?\n\nError: Position 4: More than two "
            u"pattern clauses were found.");
  // Its stored definition is saved again as it was.
  ASSERT_OK(SaveNamingSettings(store_, settings_));
  EXPECT_EQ(StoredString(PatternsNode()->FindSubkey(u"Broken"), u"Definition"), u"x;y;z");
}

TEST_F(PatternCatalogueTest, AnsweringYesDeletesTheSubkeyWithoutSkippingTheNextOne) {
  Store(u"A broken", u"[name");
  Store(u"B broken", u"[]");
  Store(u"C fine", u"[name]");
  presenter_.Answer(IDYES);
  presenter_.Answer(IDYES);
  Load();
  EXPECT_EQ(presenter_.shown.size(), 2u);
  EXPECT_EQ(IndexOf(u"A broken"), -1);
  EXPECT_EQ(IndexOf(u"B broken"), -1);
  EXPECT_GE(IndexOf(u"C fine"), 0);
  ASSERT_EQ(PatternsNode()->subkeys.size(), 1u);
  EXPECT_EQ(PatternsNode()->subkeys[0]->name, u"C fine");
  EXPECT_EQ(catalogue_.Count(), 17);
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
}

TEST_F(PatternCatalogueTest, AFailedDeletionDoesNotAskForEver) {
  Store(u"Broken", u"[name");
  SettingsKey main;
  SettingsKey patterns;
  ASSERT_OK(store_.CreateSettingsKey(nullptr, IDS_REG_KEY_PATH, &main));
  ASSERT_OK(store_.CreateSettingsKey(&main, IDS_REG_IMAGE_FILE_PATTERNS, &patterns));
  registry_.FailChanges(ERROR_ACCESS_DENIED);
  for (int i = 0; i < 5; ++i) presenter_.Answer(IDYES);
  bool changed = false;
  ASSERT_OK(catalogue_.LoadFromSettings(store_, patterns, context_, &changed));
  EXPECT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(IndexOf(u"Broken"), -1);
  EXPECT_NE(PatternsNode()->FindSubkey(u"Broken"), nullptr);
}

TEST_F(PatternCatalogueTest, PatternWithoutDefinitionGetsOneSpace) {
  Store(u"Empty", nullptr);
  Load();
  const NamingPattern& pattern = catalogue_.At(IndexOf(u"Empty"));
  EXPECT_EQ(pattern.definition.View(), u" ");
  EXPECT_TRUE(pattern.IsUsable());
  ASSERT_EQ(pattern.compiled.TotalTokenCount(), 1);
  EXPECT_EQ(pattern.compiled.TokenAt(0)[0], kTokenLiteral);
  EXPECT_TRUE(presenter_.shown.empty());
}

TEST_F(PatternCatalogueTest, NameOfWhiteSpaceOnlyIsAskedAboutByNumber) {
  Store(u"Beach", u"[name]");
  Store(u"   ", u"[name]");
  presenter_.Answer(IDYES);
  Load();
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text,
            u"An error occurred reading file naming pattern number 1 from the registry.  Do you "
            u"want to delete this pattern from the registry?\n\n");
  EXPECT_EQ(PatternsNode()->FindSubkey(u"   "), nullptr);
  EXPECT_NE(PatternsNode()->FindSubkey(u"Beach"), nullptr);
}

TEST_F(PatternCatalogueTest, SaveWritesUserPatternsOnlyAndClearsTheirModifiedMark) {
  Store(u"Old", u"[name] old");
  Load();
  int added = -1;
  ASSERT_OK(catalogue_.AddPattern(context_, nullptr, &added));
  ASSERT_OK(catalogue_.DeletePattern(context_, IndexOf(u"Old"), false));
  ASSERT_OK(SaveNamingSettings(store_, settings_));
  RegistryNode* node = PatternsNode();
  ASSERT_EQ(node->subkeys.size(), 1u);
  EXPECT_EQ(node->subkeys[0]->name, u"Pattern 1");
  EXPECT_EQ(StoredString(node->subkeys[0].get(), u"Definition"), u"_");
  EXPECT_EQ(StoredString(node->subkeys[0].get(), u"Description"), u"");
  const NamingPattern& pattern = catalogue_.At(IndexOf(u"Pattern 1"));
  EXPECT_EQ(pattern.flags & kPatternModified, 0u);
  EXPECT_EQ(pattern.storedName.View(), u"Pattern 1");
}

// ------------------------------------------------------------------------------------------------
// Add, copy, delete, modify

TEST_F(PatternCatalogueTest, AddNamesThePatternsInTurnAndReusesAFreedNumber) {
  for (int i = 0; i < 3; ++i) ASSERT_OK(catalogue_.AddPattern(context_, nullptr));
  EXPECT_GE(IndexOf(u"Pattern 1"), 0);
  EXPECT_GE(IndexOf(u"Pattern 3"), 0);
  const NamingPattern& second = catalogue_.At(IndexOf(u"Pattern 2"));
  EXPECT_EQ(second.definition.View(), u"_");
  EXPECT_FALSE(second.compiled.IsEmpty());
  EXPECT_NE(second.flags & kPatternModified, 0u);

  ASSERT_OK(catalogue_.DeletePattern(context_, IndexOf(u"Pattern 2"), false));
  EXPECT_EQ(IndexOf(u"Pattern 2"), -1);
  int index = -1;
  ASSERT_OK(catalogue_.AddPattern(context_, nullptr, &index));
  EXPECT_EQ(catalogue_.At(index).name.View(), u"Pattern 2");
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
}

TEST_F(PatternCatalogueTest, CopyTakesTheDefinitionAndDescription) {
  int index = -1;
  ASSERT_OK(catalogue_.CopyPattern(context_, IndexOf(u"Hash sign & 3 digits"), nullptr, &index));
  const NamingPattern& copy = catalogue_.At(index);
  EXPECT_EQ(copy.name.View(), u"Pattern 1");
  EXPECT_FALSE(copy.IsBuiltIn());
  EXPECT_EQ(copy.definition.View(), u"[name] #[001]");
  EXPECT_EQ(copy.description.View(), Text(IDS_PAT_HASH3_DESC));
}

TEST_F(PatternCatalogueTest, AddOpensTheEditorAndTakesItsResult) {
  int index = -1;
  const Status status = catalogue_.AddPattern(
      context_,
      [&](NamingPattern& working, bool isNew) {
        EXPECT_TRUE(isNew);
        EXPECT_EQ(working.name.View(), u"Pattern 1");
        EXPECT_OK(working.name.Assign(u"0 first"));
        EXPECT_OK(working.definition.Assign(u"[name] #[7]"));
        return EnsureCompiled(context_, &working, true, nullptr, nullptr);
      },
      &index);
  ASSERT_OK(status);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(catalogue_.At(0).name.View(), u"0 first");
  EXPECT_EQ(IndexOf(u"Pattern 1"), -1);
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");  // moved on by the insertion before it
}

TEST_F(PatternCatalogueTest, CancelledOrFailedEditorTakesTheNewPatternAwayAgain) {
  int index = 0;
  EXPECT_STATUS(E_CANCELLED,
                catalogue_.AddPattern(
                    context_, [](NamingPattern&, bool) { return E_CANCELLED; }, &index));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(IndexOf(u"Pattern 1"), -1);
  EXPECT_TRUE(presenter_.shown.empty());
  EXPECT_STATUS(E_CANCELLED,
                catalogue_.AddPattern(context_, [](NamingPattern&, bool) { return E_FAIL; }));
  EXPECT_EQ(IndexOf(u"Pattern 1"), -1);
  ASSERT_EQ(presenter_.shown.size(), 1u);
  EXPECT_EQ(presenter_.shown[0].text, Text(IDS_ERR_ADDING_PATTERN));
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
}

TEST_F(PatternCatalogueTest, DeleteRefusesBuiltInsAndAsksFirst) {
  EXPECT_STATUS(E_CANCELLED, catalogue_.DeletePattern(context_, 0, true));
  ASSERT_OK(catalogue_.AddPattern(context_, nullptr));
  presenter_.Answer(IDNO);
  EXPECT_STATUS(E_CANCELLED, catalogue_.DeletePattern(context_, IndexOf(u"Pattern 1"), true));
  presenter_.Answer(IDYES);
  EXPECT_OK(catalogue_.DeletePattern(context_, IndexOf(u"Pattern 1"), true));
  EXPECT_STATUS(E_CANCELLED, catalogue_.DeletePattern(context_, 99, false));
  ASSERT_EQ(presenter_.shown.size(), 4u);
  EXPECT_EQ(presenter_.shown[0].text, Text(IDS_ERR_BUILTIN_NOT_DELETABLE));
  EXPECT_EQ(presenter_.shown[1].text,
            u"Are you sure you want to delete the pattern \"Pattern 1\"?");
  EXPECT_EQ(presenter_.shown[3].text, Text(IDS_ERR_DELETING_PATTERN));
  // The deleted record sorts last, nameless and marked modified.
  const NamingPattern& last = catalogue_.At(catalogue_.Count() - 1);
  EXPECT_TRUE(last.IsDeleted());
  EXPECT_NE(last.flags & kPatternModified, 0u);
  EXPECT_EQ(catalogue_.Count(), 17);
}

// A catalogue of user patterns only, "a" to "f", for following the default index.
class DefaultIndexTest : public PatternTest {
 protected:
  DefaultIndexTest() {
    for (const char16_t* name : {u"c", u"a", u"f", u"b", u"e", u"d"}) {
      NamingPattern pattern(context_.heap, &keywords_);
      EXPECT_OK(pattern.name.Assign(name));
      EXPECT_OK(pattern.definition.Assign(u"[name]"));
      EXPECT_OK(EnsureCompiled(context_, &pattern, true, nullptr, nullptr));
      EXPECT_OK(catalogue_.Insert(std::move(pattern)));
    }
  }
  std::u16string DefaultName() const {
    const NamingPattern* pattern = catalogue_.DefaultPattern();
    return pattern != nullptr ? std::u16string(pattern->name.View()) : u"(none)";
  }
  // The editor's accepted result: the pattern renamed.
  Status Rename(int index, std::u16string_view name, int* newIndex) {
    NamingPattern edited;
    EXPECT_OK(CopyPattern(catalogue_.At(index), edited));
    EXPECT_OK(edited.name.Assign(name));
    return catalogue_.ApplyEdit(index, edited, newIndex);
  }
  PatternCatalogue catalogue_;
};

TEST_F(DefaultIndexTest, DeletingTheDefaultAtZeroLeavesNone) {
  catalogue_.SetDefaultIndex(0);
  ASSERT_OK(catalogue_.DeletePattern(context_, 0, false));
  EXPECT_EQ(catalogue_.DefaultIndex(), PatternCatalogue::kNoDefault);
}

TEST_F(DefaultIndexTest, DeletingTheDefaultAtFiveMakesFourTheDefault) {
  catalogue_.SetDefaultIndex(5);
  ASSERT_OK(catalogue_.DeletePattern(context_, 5, false));
  EXPECT_EQ(catalogue_.DefaultIndex(), 4);
  EXPECT_EQ(DefaultName(), u"e");
}

TEST_F(DefaultIndexTest, InsertionsAndRemovalsAroundTheDefaultKeepItOnItsPattern) {
  catalogue_.SetDefaultIndex(2);  // "c"
  ASSERT_OK(catalogue_.DeletePattern(context_, 0, false));
  EXPECT_EQ(DefaultName(), u"c");
  ASSERT_OK(catalogue_.DeletePattern(context_, 3, false));  // "e", after the default
  EXPECT_EQ(DefaultName(), u"c");
  ASSERT_OK(catalogue_.AddPattern(context_, nullptr));  // "Pattern 1" sorts after the letters
  EXPECT_EQ(DefaultName(), u"c");
  NamingPattern first(context_.heap, &keywords_);
  ASSERT_OK(first.name.Assign(u"0"));
  ASSERT_OK(catalogue_.Insert(std::move(first)));
  EXPECT_EQ(DefaultName(), u"c");
  EXPECT_EQ(catalogue_.DefaultIndex(), 2);
}

struct RenameCase {
  int defaultIndex;
  int renamed;
  const char16_t* name;
  int newIndex;
  const char16_t* defaultName;
};

class ResortTest : public DefaultIndexTest, public testing::WithParamInterface<RenameCase> {};

TEST_P(ResortTest, TheDefaultFollowsItsPatternThroughARename) {
  catalogue_.SetDefaultIndex(static_cast<std::uint16_t>(GetParam().defaultIndex));
  int newIndex = -1;
  ASSERT_OK(Rename(GetParam().renamed, GetParam().name, &newIndex));
  EXPECT_EQ(newIndex, GetParam().newIndex);
  EXPECT_EQ(catalogue_.At(newIndex).name.View(), GetParam().name);
  EXPECT_NE(catalogue_.At(newIndex).flags & kPatternModified, 0u);
  EXPECT_EQ(DefaultName(), GetParam().defaultName);
}

INSTANTIATE_TEST_SUITE_P(Table, ResortTest,
                         testing::Values(RenameCase{2, 2, u"z", 5, u"z"},  // the default moves
                                         RenameCase{2, 2, u"0", 0, u"0"},
                                         RenameCase{0, 0, u"cc", 2, u"cc"},
                                         RenameCase{2, 0, u"z", 5, u"c"},   // from before it
                                         RenameCase{2, 5, u"0", 0, u"c"},   // to before it
                                         RenameCase{2, 4, u"ee", 4, u"c"},  // after it, stays
                                         RenameCase{2, 1, u"B", 1, u"c"}),  // same place
                         LT_CASE_NAMES);

TEST_F(DefaultIndexTest, ApplyEditRefusesTakenAndEmptyNames) {
  int newIndex = -1;
  EXPECT_STATUS(E_ALREADY_PRESENT, Rename(0, u"B", &newIndex));
  EXPECT_STATUS(E_INVALIDARG, Rename(0, u"", &newIndex));
  EXPECT_EQ(catalogue_.At(0).name.View(), u"a");
}

TEST_F(DefaultIndexTest, ApplyEditTakesTheNewDefinitionAndMakesThePatternUsable) {
  catalogue_.At(0).flags |= kPatternNotUsable;
  NamingPattern edited;
  ASSERT_OK(CopyPattern(catalogue_.At(0), edited));
  ASSERT_OK(edited.definition.Assign(u"[name];[name] [2]"));
  ASSERT_OK(edited.description.Assign(u"new"));
  ASSERT_OK(EnsureCompiled(context_, &edited, true, nullptr, nullptr));
  ASSERT_OK(catalogue_.ApplyEdit(0, edited));
  const NamingPattern& record = catalogue_.At(0);
  EXPECT_TRUE(record.IsUsable());
  EXPECT_EQ(record.definition.View(), u"[name];[name] [2]");
  EXPECT_EQ(record.description.View(), u"new");
  EXPECT_EQ(record.separatorPosition, 6);
  EXPECT_EQ(record.compiled.ClauseCount(), 2);
}

TEST_F(PatternCatalogueTest, ModifyLeavesBuiltInsAloneAndAppliesUserEdits) {
  const int builtIn = IndexOf(u"Hash sign & 3 digits");
  const auto rename = [](NamingPattern& working, bool isNew) {
    EXPECT_FALSE(isNew);
    return working.name.Assign(u"Renamed");
  };
  ASSERT_OK(catalogue_.ModifyPattern(builtIn, rename));
  EXPECT_EQ(IndexOf(u"Renamed"), -1);
  EXPECT_EQ(catalogue_.At(builtIn).flags, kPatternBuiltIn);

  int index = -1;
  ASSERT_OK(catalogue_.AddPattern(context_, nullptr, &index));
  int newIndex = -1;
  ASSERT_OK(catalogue_.ModifyPattern(index, rename, &newIndex));
  EXPECT_EQ(catalogue_.At(newIndex).name.View(), u"Renamed");
  EXPECT_STATUS(E_CANCELLED, catalogue_.ModifyPattern(
                                 newIndex, [](NamingPattern&, bool) { return E_CANCELLED; }));
  EXPECT_EQ(DefaultName(), u"2 digits in parentheses");
}

TEST_F(PatternCatalogueTest, CopyOfTheCatalogueKeepsTheNotUsableMark) {
  Store(u"Broken", u"[name");
  Load();
  PatternCatalogue copy;
  ASSERT_OK(copy.CopyFrom(catalogue_));
  ASSERT_EQ(copy.Count(), catalogue_.Count());
  EXPECT_FALSE(copy.At(copy.Find(u"Broken")).IsUsable());
  EXPECT_EQ(copy.DefaultIndex(), catalogue_.DefaultIndex());
  ASSERT_NE(copy.Automatic(), nullptr);
  EXPECT_EQ(copy.Automatic()->name.View(), u"Automatic");
}

}  // namespace
}  // namespace lumatag
