// Shared set-up of the pattern dialog model tests: an application context whose message boxes are
// scripted, the keyword table and the catalogue with its built-in patterns, and the sample photo
// created at a fixed moment with dates in en-US.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "dialogs/PatternSample.h"
#include "foundation/AppContext.h"
#include "patterns/PatternCatalogue.h"
#include "platform/fake/ScriptedMessagePresenter.h"
#include "support/TestSupport.h"

namespace lumatag {

// The moment the manager "opened": Monday 2026-03-02 07:08:09.
inline constexpr SystemTime kOpenedAt{2026, 3, 1, 2, 7, 8, 9, 0};

inline const DateLocale& EnglishLocale() {
  static DateLocale locale;
  static const bool loaded = Succeeded(DateLocale::FromName("en-US", &locale));
  (void)loaded;
  return locale;
}

inline std::u16string TableText(std::uint16_t id) {
  return std::u16string(StringModule::BuiltIn().Text(id));
}

class DialogModelTest : public testing::Test {
 protected:
  DialogModelTest() {
    context_.presenter = &presenter_;
    EXPECT_OK(context_.title.Assign(u"Lumatag"));
    EXPECT_OK(keywords_.Build(StringModule::BuiltIn()));
    EXPECT_OK(catalogue_.BuildBuiltIns(context_, &keywords_));
    EXPECT_OK(catalogue_.BuildAutomaticList(context_));
    sample_.SetLocale(&EnglishLocale());
    EXPECT_OK(sample_.Build(context_, kOpenedAt));
  }

  AppContext context_;
  ScriptedMessagePresenter presenter_;
  KeywordTable keywords_;
  PatternCatalogue catalogue_;
  PatternSample sample_;
};

}  // namespace lumatag
