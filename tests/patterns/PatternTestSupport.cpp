#include "patterns/PatternTestSupport.h"

namespace lumatag {

PatternTest::PatternTest() {
  context_.presenter = &presenter_;
  EXPECT_OK(context_.title.Assign(u"Lumatag"));
  EXPECT_OK(keywords_.Build(StringModule::BuiltIn()));
}

Status PatternTest::Compile(NamingPattern& pattern, std::u16string_view definition,
                            CompileError* error, int* insertionPoint) {
  pattern.keywords = &keywords_;
  return CompileDefinition(context_, &pattern, definition, insertionPoint, &message_, error);
}

std::u16string PatternTest::Canonical(const NamingPattern& pattern) {
  CountedString text;
  EXPECT_OK(WriteCanonicalDefinition(pattern.compiled, keywords_, text));
  return std::u16string(text.View());
}

}  // namespace lumatag
