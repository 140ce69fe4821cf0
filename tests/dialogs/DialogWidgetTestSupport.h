// Shared pieces of the dialog widget tests: the step runner (DialogStepRunner.h), an opener that
// records what it was asked to open, and an application context whose message boxes are scripted.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/DialogStepRunner.h"
#include "foundation/AppContext.h"
#include "foundation/StringTable.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "ports/DocumentOpener.h"
#include "support/TestSupport.h"
#include "ui/DialogBase.h"

namespace lumatag {

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
