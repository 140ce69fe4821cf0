// Runs dialogs in tests without modal loops: each dialog that opens plays the next script step, in
// the order the steps were queued, and is cancelled unless the step ended it. A dialog that opens
// with no step left is a failure.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

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

}  // namespace lumatag
