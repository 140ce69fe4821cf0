#include "platform/linux/TerminalMessagePresenter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace lumatag {
namespace {

// Answers `flags` with the typed input and returns the button; `shown` receives what was printed.
int Ask(const std::string& input, std::uint32_t flags, std::string* shown = nullptr) {
  FILE* in = fmemopen(const_cast<char*>(input.data()), input.size() + (input.empty() ? 1 : 0), "r");
  char* outBuffer = nullptr;
  std::size_t outSize = 0;
  FILE* out = open_memstream(&outBuffer, &outSize);
  TerminalMessagePresenter presenter(in, out);
  const int button = presenter.Show(u"Rename?", u"Lumatag", flags, false);
  std::fclose(in);
  std::fclose(out);
  if (shown != nullptr) *shown = std::string(outBuffer, outSize);
  std::free(outBuffer);
  return button;
}

TEST(TerminalMessagePresenterTest, AnswersQuestionsFromInput) {
  struct Case {
    const char* input;
    std::uint32_t flags;
    int button;
  };
  for (const Case& c :
       {Case{"y\n", MB_YESNO, IDYES}, Case{"NO\n", MB_YESNO, IDNO},
        Case{"\n", MB_YESNO | MB_DEFBUTTON2, IDNO}, Case{"\n", MB_YESNO, IDYES},
        Case{"maybe\nyes\n", MB_YESNO, IDYES}, Case{"c\n", MB_YESNOCANCEL, IDCANCEL},
        Case{"", MB_YESNO, IDNO}, Case{"", MB_YESNOCANCEL, IDCANCEL}, Case{"", MB_OK, IDOK}}) {
    EXPECT_EQ(Ask(c.input, c.flags), c.button) << c.input << " " << c.flags;
  }
}

TEST(TerminalMessagePresenterTest, PrintsTitleKindAndText) {
  std::string shown;
  Ask("", MB_OK | MB_ICONERROR, &shown);
  EXPECT_EQ(shown, "Lumatag: error: Rename?\n");
}

TEST(TerminalMessagePresenterTest, ChoicesAreAnsweredByTheirAccessKeys) {
  const Choice choices[] = {{u"&Yes", IDYES},
                            {u"Yes to &All", 32000},
                            {u"&No", IDNO},
                            {u"N&o to All", 32001},
                            {u"Cancel", IDCANCEL}};
  struct Case {
    const char* input;
    int answer;
  };
  for (const Case& c : {Case{"a\n", 32000}, Case{"o\n", 32001}, Case{"x\nn\n", IDNO},
                        Case{"C\n", IDCANCEL}, Case{"", IDCANCEL}}) {
    const std::string input = c.input;
    FILE* in =
        fmemopen(const_cast<char*>(input.data()), input.size() + (input.empty() ? 1 : 0), "r");
    FILE* out = std::fopen("/dev/null", "w");
    TerminalMessagePresenter presenter(in, out);
    EXPECT_EQ(presenter.AskChoice(u"Overwrite?", u"", choices, false), c.answer) << c.input;
    std::fclose(in);
    std::fclose(out);
  }
}

TEST(TerminalMessagePresenterTest, WhatStandardOutputHoldsGoesOutBeforeTheMessage) {
  // Standard output and the message's stream both write to one file, as "2>&1" makes them: the
  // message comes after what the program printed before it, though standard output buffers.
  TempDir dir;
  const std::string path = dir.File("both");
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  ASSERT_GE(saved, 0);
  const int both = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  ASSERT_GE(both, 0);
  dup2(both, STDOUT_FILENO);
  FILE* messages = fdopen(dup(both), "a");
  close(both);
  std::printf("before\n");
  FILE* in = fmemopen(const_cast<char*>("\n"), 1, "r");
  TerminalMessagePresenter presenter(in, messages);
  EXPECT_EQ(presenter.Show(u"Done.", u"", MB_OK, false), IDOK);
  std::printf("after\n");
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::fclose(messages);
  std::fclose(in);
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "before\nDone.\nafter\n");
}

}  // namespace
}  // namespace lumatag
