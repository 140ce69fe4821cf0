// Text made safe to print on a terminal or to read line by line in a script: no name or metadata
// text can move the cursor, clear the screen or forge a line.
#pragma once

#include <string>
#include <string_view>

namespace lumatag {

enum class TerminalEscape {
  kField,    // one field of a line of output: every character below is escaped
  kMessage,  // a message to read: line feeds and backslashes stay as they are
};

// UTF-8 with backslash as "\\", line feed as "\n", tab as "\t", any other C0 control character and
// DEL as "\xHH", C1 control characters and the line and paragraph separators as "\uXXXX", and a
// byte of a file name that is not valid UTF-8 (carried as U+DC80-U+DCFF) as "\xHH" (that byte).
// Other text passes unchanged.
std::string EscapeTerminalText(std::u16string_view text, TerminalEscape mode);

}  // namespace lumatag
