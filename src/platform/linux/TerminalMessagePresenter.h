// Message boxes on a terminal: the text goes to standard error, questions are answered on standard
// input. Without an answer (end of input) a question takes its safest answer: Cancel where there is
// one, else No.
#pragma once

#include <cstdio>

#include "platform/MessagePresenter.h"

namespace lumatag {

class TerminalMessagePresenter final : public MessagePresenter {
 public:
  TerminalMessagePresenter(std::FILE* in = stdin, std::FILE* out = stderr) : in_(in), out_(out) {}
  int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
           bool owned) override;

 private:
  std::FILE* in_;
  std::FILE* out_;
};

}  // namespace lumatag
