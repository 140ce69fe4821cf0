// Shared set-up of the pattern tests: an application context whose message boxes are scripted,
// and the keyword table of the built-in string table.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "foundation/AppContext.h"
#include "patterns/PatternCompiler.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {

class PatternTest : public testing::Test {
 protected:
  PatternTest();

  // Compiles `definition` into `pattern` with the message going to `message`.
  Status Compile(NamingPattern& pattern, std::u16string_view definition,
                 CompileError* error = nullptr, int* insertionPoint = nullptr);
  // The canonical definition of a compiled pattern.
  std::u16string Canonical(const NamingPattern& pattern);

  AppContext context_;
  ScriptedMessagePresenter presenter_;
  KeywordTable keywords_;
  MessageString message_;
};

}  // namespace lumatag
