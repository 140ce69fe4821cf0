// Conversions between UTF-16 and 8-bit text.
#include <cstring>

#include "foundation/CountedString.h"

namespace lumatag {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 code points for the bytes 0x80-0x9F; the five unassigned bytes map to themselves.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one UTF-8 sequence at `s` (n bytes left). Returns its length, or 0 when it is not valid
// UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
int DecodeUtf8(const unsigned char* s, std::size_t n, char32_t* out) {
  const unsigned char b = s[0];
  if (b < 0x80) {
    *out = b;
    return 1;
  }
  int len;
  char32_t cp;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (n < static_cast<std::size_t>(len)) return 0;
  for (int i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
      (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
    return 0;
  }
  *out = cp;
  return len;
}

bool IsValidUtf8(const unsigned char* s, std::size_t n) {
  char32_t cp;
  for (std::size_t i = 0; i < n;) {
    const int len = DecodeUtf8(s + i, n - i, &cp);
    if (len == 0) return false;
    i += static_cast<std::size_t>(len);
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  // A leading ASCII run is one unit per byte.
  std::size_t ascii = 0;
  while (ascii < utf8.size() && s[ascii] < 0x80) ++ascii;
  out.resize(ascii);
  for (std::size_t i = 0; i < ascii; ++i) out[i] = static_cast<char16_t>(s[i]);
  for (std::size_t i = ascii; i < utf8.size();) {
    char32_t cp;
    const int len = DecodeUtf8(s + i, utf8.size() - i, &cp);
    if (len == 0) {
      out += kReplacement;
      ++i;
    } else {
      AppendUtf16(out, cp);
      i += static_cast<std::size_t>(len);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  // A leading ASCII run is one byte per unit.
  std::size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
  out.resize(ascii);
  for (std::size_t i = 0; i < ascii; ++i) out[i] = static_cast<char>(text[i]);
  for (std::size_t i = ascii; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

Status ConvertFromAnsi(const char* source, int sourceBytes, char16_t* target, int targetCapacity,
                       int* written) {
  if (written != nullptr) *written = 0;
  if (target == nullptr || targetCapacity < 1) return E_INVALIDARG;
  target[0] = 0;
  if (source == nullptr || sourceBytes <= 0) return S_OK;
  const auto* s = reinterpret_cast<const unsigned char*>(source);
  const std::size_t n = static_cast<std::size_t>(sourceBytes);
  std::u16string text;
  if (IsValidUtf8(s, n)) {
    text = Utf8ToUtf16(std::string_view(source, n));
  } else {
    text.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      text += (s[i] >= 0x80 && s[i] <= 0x9F) ? kCp1252High[s[i] - 0x80] : char16_t(s[i]);
    }
  }
  std::size_t count = text.size();
  Status status = S_OK;
  if (count > static_cast<std::size_t>(targetCapacity - 1)) {
    count = static_cast<std::size_t>(targetCapacity - 1);
    // Never leave half of a surrogate pair at the cut.
    if (count > 0 && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) --count;
    status = E_TRUNCATED;
  }
  std::memcpy(target, text.data(), count * 2);
  target[count] = 0;
  if (written != nullptr) *written = static_cast<int>(count);
  return status;
}

Status ConvertToAnsi(const char16_t* source, int count, char* target, int targetCapacity) {
  if (target == nullptr || targetCapacity < 1) return E_INVALIDARG;
  target[0] = 0;
  if (source == nullptr || count <= 0) return S_OK;
  const std::string utf8 =
      Utf16ToUtf8(std::u16string_view(source, static_cast<std::size_t>(count)));
  std::size_t n = utf8.size();
  Status status = S_OK;
  if (n > static_cast<std::size_t>(targetCapacity - 1)) {
    n = static_cast<std::size_t>(targetCapacity - 1);
    // Never cut inside a UTF-8 sequence.
    while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    status = E_TRUNCATED;
  }
  std::memcpy(target, utf8.data(), n);
  target[n] = 0;
  return status;
}

}  // namespace lumatag
