// Shared pieces of the dialog widget tests: a runner that plays one script step per dialog in the
// order the dialogs open, an opener that records what it was asked to open, and an application
// context whose message boxes are scripted.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/AppContext.h"
#include "foundation/StringTable.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "ports/DocumentOpener.h"
#include "support/TestSupport.h"
#include "ui/DialogBase.h"

namespace lumatag {

class StepRunner final : public ui::DialogRunner {
 public:
  using Step = std::function<void(ui::DialogBase& dialog)>;
  void Then(Step step) { steps_.push_back(std::move(step)); }
  int Run(ui::DialogBase& dialog) override {
    if (!dialog.Start()) return dialog.EndCode();
    dialog.show();
    if (next_ < steps_.size()) {
      steps_[next_++](dialog);
    } else {
      ADD_FAILURE() << "a dialog opened without a script step: "
                    << dialog.windowTitle().toStdString();
    }
    if (!dialog.Ended()) dialog.reject();
    return dialog.EndCode();
  }
  bool AllRan() const { return next_ == steps_.size(); }

 private:
  std::vector<Step> steps_;
  std::size_t next_ = 0;
};

template <typename T>
T& As(ui::DialogBase& dialog) {
  T* typed = dynamic_cast<T*>(&dialog);
  if (typed == nullptr) {
    ADD_FAILURE() << "another dialog opened than expected: " << dialog.windowTitle().toStdString();
    std::abort();
  }
  return *typed;
}

class RecordingOpener final : public DocumentOpener {
 public:
  Status OpenUrl(std::u16string_view url) override {
    urls.emplace_back(url);
    return result;
  }
  Status OpenDocument(std::u16string_view path) override {
    urls.emplace_back(path);
    return result;
  }
  std::vector<std::u16string> urls;
  Status result = S_OK;
};

inline std::u16string TableText(std::uint16_t id) {
  return std::u16string(StringModule::BuiltIn().Text(id));
}

class DialogWidgetTest : public testing::Test {
 protected:
  DialogWidgetTest() {
    context_.presenter = &presenter_;
    EXPECT_OK(context_.title.Assign(u"Lumatag"));
  }
  // The texts of the boxes shown so far, in order.
  std::vector<std::u16string> Shown() const {
    std::vector<std::u16string> texts;
    for (const auto& box : presenter_.shown) texts.push_back(box.text);
    return texts;
  }

  AppContext context_;
  ScriptedMessagePresenter presenter_;
  WindowSettings window_;
  ui::UiContext ui_{context_, window_};
  StepRunner runner_;
};

}  // namespace lumatag
