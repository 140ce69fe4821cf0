// Helpers shared by the tests.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/CountedString.h"
#include "foundation/Status.h"

namespace lumatag {

// Lets GoogleTest print UTF-16 texts readably.
inline void PrintTo(const std::u16string& text, std::ostream* out) {
  *out << '"' << Utf16ToUtf8(text) << '"';
}

// Registry value data as stored: a DWORD as four little-endian bytes; text as UTF-16LE, with its
// terminating NUL when `terminate` is set.
std::vector<std::uint8_t> DwordBytes(std::uint32_t value);
std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool terminate);

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
