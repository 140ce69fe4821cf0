// Paths as the program handles them: UTF-16 text with the platform's separator. A folder path kept
// by the program always ends with the separator.
#pragma once

#include <string_view>

namespace lumatag {

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// Index of the last separator, or -1.
inline int FindLastPathSeparator(std::u16string_view path) {
  const std::size_t at = path.rfind(kPathSeparator);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

// The file-name part of a path (everything after the last separator).
inline std::u16string_view FileNamePart(std::u16string_view path) {
  return path.substr(static_cast<std::size_t>(FindLastPathSeparator(path) + 1));
}

}  // namespace lumatag
