// Checks a translated string table against the English one before it is shipped beside the
// program: every English entry is translated and no other; each translation keeps the numbered
// placeholders and the number of accelerator marks of its English text; the entries the program
// reads as names (settings value names, version-document element names, date-picture letters)
// are unchanged; and every built-in pattern definition still compiles against the keyword table
// that the translated table builds.
//
// Usage: stringcheck ENGLISH.txt TRANSLATED.txt
// Prints one line per problem ("FILE: entry ID (NAME): what") and exits with 1 when there is any.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/AppContext.h"
#include "foundation/StringTable.h"
#include "patterns/KeywordTable.h"
#include "patterns/NamingPattern.h"
#include "patterns/PatternCompiler.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  *text = content.str();
  return true;
}

// The placeholders "{n}" of a text, sorted.
std::vector<std::u16string> Placeholders(std::u16string_view text) {
  std::vector<std::u16string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'{') continue;
    std::size_t j = i + 1;
    while (j < text.size() && text[j] >= u'0' && text[j] <= u'9') ++j;
    if (j > i + 1 && j < text.size() && text[j] == u'}') {
      found.emplace_back(text.substr(i, j - i + 1));
      i = j;
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Accelerator marks: every "&" that is not part of a doubled "&&" (a literal ampersand).
int AcceleratorMarks(std::u16string_view text) {
  int marks = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (i + 1 < text.size() && text[i + 1] == u'&') {
      ++i;
      continue;
    }
    ++marks;
  }
  return marks;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const std::string tail(suffix);
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Entries the program reads as names rather than shows: settings value names, the address and
// element names of the version document (24604 onwards) and the date-picture letters. They must
// stay exactly as in English.
bool MustStayUntranslated(const lumatag::StringTableEntry& entry) {
  return StartsWith(entry.name, "IDS_REG_") || StartsWith(entry.name, "IDS_DATE_PIC_") ||
         entry.id >= 24604;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: stringcheck ENGLISH.txt TRANSLATED.txt\n";
    return 2;
  }
  const char* translatedPath = argv[2];
  std::string englishText;
  if (!ReadFile(argv[1], &englishText)) {
    std::cerr << argv[1] << ": cannot open\n";
    return 2;
  }
  std::vector<lumatag::StringTableEntry> english;
  lumatag::StringTableError error;
  if (!lumatag::ParseStringTableText(englishText, &english, &error)) {
    std::cerr << argv[1] << ":" << error.line << ": " << error.message << "\n";
    return 1;
  }
  lumatag::StringModule translated;
  if (lumatag::Failed(translated.LoadFile(translatedPath, &error))) {
    std::cerr << translatedPath << ":" << error.line << ": " << error.message << "\n";
    return 1;
  }

  int problems = 0;
  auto report = [&](const lumatag::StringTableEntry& entry, const std::string& what) {
    std::cerr << translatedPath << ": entry " << entry.id << " (" << entry.name << "): " << what
              << "\n";
    ++problems;
  };

  std::map<std::uint16_t, const lumatag::StringTableEntry*> byId;
  for (const lumatag::StringTableEntry& entry : english) byId[entry.id] = &entry;
  for (std::uint16_t id : translated.Ids()) {
    if (byId.find(id) == byId.end()) {
      std::cerr << translatedPath << ": entry " << id << " is not in the English table\n";
      ++problems;
    }
  }

  std::vector<std::uint16_t> definitions;
  for (const lumatag::StringTableEntry& entry : english) {
    if (!translated.Contains(entry.id)) {
      report(entry, "missing");
      continue;
    }
    const std::u16string_view text = translated.Text(entry.id);
    if (Placeholders(text) != Placeholders(entry.text)) {
      report(entry, "placeholders differ from the English text");
    }
    if (AcceleratorMarks(text) != AcceleratorMarks(entry.text)) {
      report(entry, "accelerator marks (&) differ from the English text");
    }
    if (MustStayUntranslated(entry) && text != entry.text) {
      report(entry, "is a name the program reads and must stay as in English");
    }
    if (StartsWith(entry.name, "IDS_PAT_") && EndsWith(entry.name, "_DEF") &&
        entry.name != "IDS_PAT_AUTOMATIC_DEF") {
      definitions.push_back(entry.id);
    }
  }

  // The keyword table of the translated table must compile every built-in definition.
  lumatag::AppContext context;
  context.programModule = &translated;
  context.resourceModule = &translated;
  lumatag::KeywordTable keywords;
  if (lumatag::Failed(keywords.Build(translated))) {
    std::cerr << translatedPath << ": the pattern keyword table cannot be built from it\n";
    return 1;
  }
  for (std::uint16_t id : definitions) {
    lumatag::NamingPattern pattern(context.heap, &keywords);
    lumatag::CountedString message;
    lumatag::CompileError compileError;
    if (lumatag::Failed(lumatag::CompileDefinition(context, &pattern, translated.Text(id), nullptr,
                                                   &message, &compileError))) {
      report(*byId[id], "built-in pattern does not compile: " + message.ToUtf8());
    }
  }

  if (problems > 0) {
    std::cerr << translatedPath << ": " << problems << " problem(s)\n";
    return 1;
  }
  return 0;
}
