// Turns the English string table into code: a header of identifier constants and a source file
// holding the table text, which the program parses once on first use. Checks the table on the way,
// so that a malformed table fails the build instead of the program.
//
// Usage: stringgen TABLE.txt OUT_DIR
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "foundation/StringTableText.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: stringgen TABLE.txt OUT_DIR\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::ostringstream content;
  content << in.rdbuf();
  const std::string text = content.str();

  std::vector<lumatag::StringTableEntry> entries;
  lumatag::StringTableError error;
  if (!lumatag::ParseStringTableText(text, &entries, &error)) {
    std::cerr << argv[1] << ":" << error.line << ": " << error.message << "\n";
    return 1;
  }
  for (const auto& entry : entries) {
    if (entry.name.rfind("IDS_", 0) != 0) {
      std::cerr << argv[1] << ": entry " << entry.id << " needs a name starting with IDS_\n";
      return 1;
    }
  }

  const std::string dir = argv[2];
  std::ofstream header(dir + "/foundation/StringIds.h", std::ios::binary);
  header << "// Generated from the English string table. Do not edit.\n#pragma once\n\n"
            "#include <cstdint>\n\nnamespace lumatag {\n\n";
  for (const auto& entry : entries) {
    header << "inline constexpr std::uint16_t " << entry.name << " = " << entry.id << ";\n";
  }
  header << "\n}  // namespace lumatag\n";

  std::ofstream source(dir + "/EnglishStringTable.cpp", std::ios::binary);
  source << "// Generated from the English string table. Do not edit.\n\nnamespace lumatag {\n\n"
            "extern const char kEnglishStringTable[];\nextern const unsigned "
            "kEnglishStringTableSize;\n"
            "const char kEnglishStringTable[] = {";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i % 16 == 0) source << "\n   ";
    source << " " << static_cast<int>(static_cast<signed char>(text[i])) << ",";
  }
  source << " 0};\nconst unsigned kEnglishStringTableSize = " << text.size()
         << ";\n\n}  // namespace lumatag\n";
  return header && source ? 0 : 1;
}
