// Message boxes on a terminal: the text goes to standard error, questions are answered on standard
// input. Without an answer (end of input) a question takes its safest answer: Cancel where there is
// one, else No.
#pragma once

#include <cstdio>

#include "ports/MessagePresenter.h"

namespace lumatag {

class TerminalMessagePresenter final : public MessagePresenter {
 public:
  TerminalMessagePresenter(std::FILE* in = stdin, std::FILE* out = stderr) : in_(in), out_(out) {}
  int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
           bool owned) override;
  // Lists the buttons with their access keys ("&Yes" is answered with "y"; a label without one by
  // its first letter) and reads the choice; end of input chooses the answer IDCANCEL when offered.
  int AskChoice(std::u16string_view text, std::u16string_view title,
                std::span<const Choice> choices, bool owned) override;

 private:
  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace lumatag
