// Helpers shared by the tests.
#pragma once

#include <ostream>
#include <string>

#include "foundation/CountedString.h"
#include "foundation/Status.h"

namespace lumatag {

// Lets GoogleTest print UTF-16 texts readably.
inline void PrintTo(const std::u16string& text, std::ostream* out) {
  *out << '"' << Utf16ToUtf8(text) << '"';
}

// A status as "0x" and eight hexadecimal digits, for failure messages.
std::string StatusName(Status status);

// A temporary directory removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace lumatag

#define EXPECT_STATUS(expected, actual) \
  EXPECT_EQ(::lumatag::StatusName(expected), ::lumatag::StatusName(actual))
#define ASSERT_OK(expr) \
  ASSERT_EQ(::lumatag::StatusName(::lumatag::S_OK), ::lumatag::StatusName(expr))
#define EXPECT_OK(expr) \
  EXPECT_EQ(::lumatag::StatusName(::lumatag::S_OK), ::lumatag::StatusName(expr))

// Names table-driven cases by their index, so that test names stay stable from run to run.
#define LT_CASE_NAMES [](const auto& info) { return "case" + std::to_string(info.index); }
