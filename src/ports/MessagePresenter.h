// Port: the message box. The desktop program shows a dialog, the command-line program asks on the
// terminal, tests answer from a script.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace lumatag {

// Box styles: buttons in the low nibble, icon in the next, default button after that.
inline constexpr std::uint32_t MB_OK = 0x0;
inline constexpr std::uint32_t MB_OKCANCEL = 0x1;
inline constexpr std::uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr std::uint32_t MB_YESNO = 0x4;
inline constexpr std::uint32_t MB_TYPEMASK = 0xF;
inline constexpr std::uint32_t MB_ICONERROR = 0x10;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x20;
inline constexpr std::uint32_t MB_ICONWARNING = 0x30;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr std::uint32_t MB_ICONMASK = 0xF0;
inline constexpr std::uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr std::uint32_t MB_DEFBUTTON3 = 0x200;
inline constexpr std::uint32_t MB_DEFMASK = 0xF00;

// Buttons pressed.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// One button of a question with buttons of its own: the label ("&" marks the access key) and the
// answer it gives.
struct Choice {
  std::u16string_view label;
  int answer;
};

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Shows `text` with `title` in the style of `flags`; `owned` says whether the main window owns
  // the box. Returns the button pressed, 0 when the box could not be shown.
  virtual int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
                   bool owned) = 0;
  // The same with a details area the person can open (a long list that would not fit the text).
  // A presenter without one shows the text alone.
  virtual int ShowWithDetails(std::u16string_view text, std::u16string_view /*details*/,
                              std::u16string_view title, std::uint32_t flags, bool owned) {
    return Show(text, title, flags, owned);
  }
  // A question with its own buttons, in order. Returns the chosen button's answer, 0 when the
  // question could not be shown.
  virtual int AskChoice(std::u16string_view /*text*/, std::u16string_view /*title*/,
                        std::span<const Choice> /*choices*/, bool /*owned*/) {
    return 0;
  }
};

}  // namespace lumatag
