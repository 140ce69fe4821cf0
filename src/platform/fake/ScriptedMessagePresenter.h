// A message presenter for tests: records every box and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ports/MessagePresenter.h"

namespace lumatag {

class ScriptedMessagePresenter final : public MessagePresenter {
 public:
  struct Shown {
    std::u16string text;
    std::u16string title;
    std::uint32_t flags;
    bool owned;
    std::u16string details = {};  // the details area, when the box has one
  };

  // Queues the answers of the next boxes, in order.
  void Answer(int button) { answers_.push_back(button); }

  int Show(std::u16string_view text, std::u16string_view title, std::uint32_t flags,
           bool owned) override {
    return ShowWithDetails(text, u"", title, flags, owned);
  }

  int ShowWithDetails(std::u16string_view text, std::u16string_view details,
                      std::u16string_view title, std::uint32_t flags, bool owned) override {
    shown.push_back(
        {std::u16string(text), std::u16string(title), flags, owned, std::u16string(details)});
    if (onShow) onShow();
    if (answers_.empty()) return (flags & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
    const int button = answers_.front();
    answers_.pop_front();
    return button;
  }

  int AskChoice(std::u16string_view text, std::u16string_view title,
                std::span<const Choice> choices, bool owned) override {
    shown.push_back({std::u16string(text), std::u16string(title), kChoiceFlags, owned, u""});
    if (onShow) onShow();
    if (answers_.empty()) return choices.empty() ? 0 : choices.front().answer;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  // The flags recorded for a question asked with AskChoice.
  static constexpr std::uint32_t kChoiceFlags = 0xFFFFFFFF;

  std::vector<Shown> shown;
  // Called while each box is up (tests look at the application's state from here).
  std::function<void()> onShow;

 private:
  std::deque<int> answers_;
};

}  // namespace lumatag
