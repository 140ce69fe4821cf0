// Texts printed for a terminal or a script: every control character escaped, nothing else changed.
#include <gtest/gtest.h>

#include "foundation/TerminalText.h"
#include "support/TestSupport.h"

namespace lumatag {
namespace {

struct EscapeCase {
  std::u16string text;
  const char* field;    // as one field of a line
  const char* message;  // as a message to read
};

class TerminalTextTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(TerminalTextTest, EscapesControlCharactersOnly) {
  const EscapeCase& c = GetParam();
  EXPECT_EQ(EscapeTerminalText(c.text, TerminalEscape::kField), c.field);
  EXPECT_EQ(EscapeTerminalText(c.text, TerminalEscape::kMessage), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TerminalTextTest,
    testing::Values(
        EscapeCase{u"", "", ""}, EscapeCase{u"Trip #001.JPG", "Trip #001.JPG", "Trip #001.JPG"},
        // Non-ASCII text and characters outside the basic plane pass as UTF-8.
        EscapeCase{u"Caf\u00e9 \U0001F600", "Caf\xc3\xa9 \xf0\x9f\x98\x80",
                   "Caf\xc3\xa9 \xf0\x9f\x98\x80"},
        EscapeCase{u"a\\b", "a\\\\b", "a\\b"},
        EscapeCase{u"line\nfeed\ttab", "line\\nfeed\\ttab", "line\nfeed\\ttab"},
        // Escape sequences, carriage return, bell, NUL and DEL.
        EscapeCase{u"\x1b[2J\r\a", "\\x1B[2J\\x0D\\x07", "\\x1B[2J\\x0D\\x07"},
        EscapeCase{std::u16string(u"a\0b", 3), "a\\x00b", "a\\x00b"},
        EscapeCase{u"\x7f", "\\x7F", "\\x7F"},
        // C1 controls (CSI among them) and the Unicode line and paragraph separators.
        EscapeCase{u"\u0085\u009b\u2028\u2029", "\\u0085\\u009B\\u2028\\u2029",
                   "\\u0085\\u009B\\u2028\\u2029"},
        // A byte of a file name that is not UTF-8 is shown as that byte; a real surrogate pair
        // whose low half lies in the same range is an ordinary character.
        EscapeCase{u"raw\xdcff.JPG", "raw\\xFF.JPG", "raw\\xFF.JPG"},
        EscapeCase{u"\xd83d\xdc80", "\xf0\x9f\x92\x80", "\xf0\x9f\x92\x80"}),
    LT_CASE_NAMES);

}  // namespace
}  // namespace lumatag
