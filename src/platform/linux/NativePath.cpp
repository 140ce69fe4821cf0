#include "platform/linux/NativePath.h"

#include "foundation/CountedString.h"

namespace lumatag {

namespace {

// Length of the valid UTF-8 sequence at `s`, or 0.
std::size_t ValidSequence(std::string_view s) {
  const auto b = static_cast<unsigned char>(s[0]);
  std::size_t len;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
  }
  const auto b1 = static_cast<unsigned char>(s[1]);
  if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 >= 0xA0) || (b == 0xF0 && b1 < 0x90) ||
      (b == 0xF4 && b1 >= 0x90)) {
    return 0;  // overlong, surrogate or past U+10FFFF
  }
  return len;
}

}  // namespace

std::u16string FromNativePath(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    // ASCII, what most names are made of, is one unit per byte.
    std::size_t ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
    if (ascii > 0) {
      out.append(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(ascii));
      bytes.remove_prefix(ascii);
      continue;
    }
    const std::size_t len = ValidSequence(bytes);
    if (len == 0) {
      out += static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[0]));
      bytes.remove_prefix(1);
    } else {
      out += Utf8ToUtf16(bytes.substr(0, len));
      bytes.remove_prefix(len);
    }
  }
  return out;
}

std::string ToNativePath(std::u16string_view path) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char16_t c = path[i];
    const bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() &&
                           path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF;
    if (pairStart) {
      ++i;
      continue;
    }
    if (c >= 0xDC80 && c <= 0xDCFF) {
      out += Utf16ToUtf8(path.substr(start, i - start));
      out += static_cast<char>(c - 0xDC00);
      start = i + 1;
    }
  }
  out += Utf16ToUtf8(path.substr(start));
  return out;
}

}  // namespace lumatag
