#include "platform/linux/TerminalMessagePresenter.h"

#include <cctype>
#include <string>

#include "foundation/CountedString.h"
#include "foundation/TerminalText.h"

namespace lumatag {

namespace {

std::string ReadAnswer(std::FILE* in, bool* endOfInput) {
  std::string line;
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(std::tolower(c));
  *endOfInput = c == EOF && line.empty();
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.erase(0, 1);
  return line;
}

char16_t AccessKey(std::u16string_view label) {
  const std::size_t amp = label.find(u'&');
  const char16_t key = amp != std::u16string_view::npos && amp + 1 < label.size() ? label[amp + 1]
                       : label.empty()                                            ? u'?'
                                                                                  : label[0];
  return key < 128 ? static_cast<char16_t>(std::tolower(key)) : key;
}

std::string PlainLabel(std::u16string_view label) {
  std::u16string plain;
  for (char16_t c : label) {
    if (c != u'&') plain += c;
  }
  return Utf16ToUtf8(plain);
}

// What the program printed on standard output before the message comes before it, when both go to
// the same place.
void FlushOutputBefore(std::FILE* out) {
  if (out != stdout) std::fflush(stdout);
}

}  // namespace

int TerminalMessagePresenter::AskChoice(std::u16string_view text, std::u16string_view title,
                                        std::span<const Choice> choices, bool /*owned*/) {
  const std::string prefix =
      title.empty() ? std::string() : EscapeTerminalText(title, TerminalEscape::kMessage) + ": ";
  FlushOutputBefore(out_);
  std::fprintf(out_, "%s%s\n", prefix.c_str(),
               EscapeTerminalText(text, TerminalEscape::kMessage).c_str());
  for (;;) {
    for (const Choice& choice : choices) {
      std::fprintf(out_, "[%s] %s  ",
                   Utf16ToUtf8(std::u16string(1, AccessKey(choice.label))).c_str(),
                   PlainLabel(choice.label).c_str());
    }
    std::fprintf(out_, "? ");
    std::fflush(out_);
    bool endOfInput = false;
    const std::string answer = ReadAnswer(in_, &endOfInput);
    if (endOfInput) {
      std::fprintf(out_, "\n");
      for (const Choice& choice : choices) {
        if (choice.answer == IDCANCEL) return IDCANCEL;
      }
      return 0;
    }
    const std::u16string typed = Utf8ToUtf16(answer);
    for (const Choice& choice : choices) {
      if (typed.size() == 1 && typed[0] == AccessKey(choice.label)) return choice.answer;
    }
  }
}

int TerminalMessagePresenter::Show(std::u16string_view text, std::u16string_view title,
                                   std::uint32_t flags, bool /*owned*/) {
  const char* kind = "";
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR:
      kind = "error: ";
      break;
    case MB_ICONWARNING:
      kind = "warning: ";
      break;
    default:
      break;
  }
  const std::string prefix =
      title.empty() ? std::string() : EscapeTerminalText(title, TerminalEscape::kMessage) + ": ";
  FlushOutputBefore(out_);
  std::fprintf(out_, "%s%s%s\n", prefix.c_str(), kind,
               EscapeTerminalText(text, TerminalEscape::kMessage).c_str());

  const std::uint32_t type = flags & MB_TYPEMASK;
  if (type != MB_YESNO && type != MB_YESNOCANCEL && type != MB_OKCANCEL) {
    std::fflush(out_);
    return IDOK;
  }
  const bool second = (flags & MB_DEFMASK) == MB_DEFBUTTON2;
  const char* choices = type == MB_YESNO      ? (second ? "[y/N]" : "[Y/n]")
                        : type == MB_OKCANCEL ? (second ? "[o/C]" : "[O/c]")
                                              : (second ? "[y/N/c]" : "[Y/n/c]");
  for (;;) {
    std::fprintf(out_, "%s ", choices);
    std::fflush(out_);
    bool endOfInput = false;
    const std::string answer = ReadAnswer(in_, &endOfInput);
    if (endOfInput) {
      std::fprintf(out_, "\n");
      return type == MB_YESNO ? IDNO : IDCANCEL;
    }
    if (answer.empty()) {
      if (type == MB_OKCANCEL) return second ? IDCANCEL : IDOK;
      return second ? IDNO : IDYES;
    }
    if (type == MB_OKCANCEL) {
      if (answer == "o" || answer == "ok") return IDOK;
      if (answer == "c" || answer == "cancel") return IDCANCEL;
      continue;
    }
    if (answer == "y" || answer == "yes") return IDYES;
    if (answer == "n" || answer == "no") return IDNO;
    if (type == MB_YESNOCANCEL && (answer == "c" || answer == "cancel")) return IDCANCEL;
  }
}

}  // namespace lumatag
