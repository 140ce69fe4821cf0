#include "foundation/Numbers.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace lumatag {

namespace {

// The decimal walk shared by the unsigned parsers: `limit` is the largest value, `guard` the
// largest value that may still take another digit (limit / 10).
Status ParseDecimal(const char16_t* chars, int count, std::uint32_t limit, std::uint32_t guard,
                    std::uint32_t* value) {
  std::uint32_t v = 0;
  Status status = S_OK;
  if (chars == nullptr || count <= 0) {
    status = E_NO_VALUE;
  } else {
    for (int i = 0; i < count; ++i) {
      if (!IsDecimalDigit(chars[i])) {
        status = E_NOT_A_DIGIT;
        break;
      }
      const std::uint32_t digit = chars[i] - u'0';
      if (v > guard || v * 10 > limit - digit) {
        status = E_VALUE_OUT_OF_RANGE;
        break;
      }
      v = v * 10 + digit;
    }
  }
  *value = v;
  return status;
}

}  // namespace

Status ParseUInt16(const char16_t* chars, int count, std::uint16_t* value) {
  std::uint32_t v = 0;
  const Status status = ParseDecimal(chars, count, 65535, 0x1999, &v);
  *value = static_cast<std::uint16_t>(v);
  return status;
}

Status ParseUInt32(const char16_t* chars, int count, std::uint32_t* value) {
  return ParseDecimal(chars, count, 4294967295u, 0x19999999, value);
}

Status ParseUInt32(const CountedString& text, std::uint32_t* value) {
  return ParseUInt32(text.Text(), text.Length(), value);
}

Status ParseInt32(const char16_t* chars, int count, std::int32_t* value) {
  *value = 0;
  if (chars == nullptr || count <= 0) return E_NO_VALUE;
  const bool negative = chars[0] == u'-';
  std::uint32_t v = 0;
  Status status = S_OK;
  for (int i = negative ? 1 : 0; i < count; ++i) {
    if (!IsDecimalDigit(chars[i])) {
      status = E_NOT_A_DIGIT;
      break;
    }
    const std::uint32_t digit = chars[i] - u'0';
    if (v > 0x0CCCCCCC || v * 10 > 2147483647u + (negative ? 1u : 0u) - digit) {
      status = E_VALUE_OUT_OF_RANGE;
      break;
    }
    v = v * 10 + digit;
  }
  if (Succeeded(status) && negative && v == 0) status = E_NOT_A_DIGIT;
  *value = negative ? static_cast<std::int32_t>(0u - v) : static_cast<std::int32_t>(v);
  return status;
}

Status ParseHex32(const char16_t* chars, int count, std::uint32_t* value) {
  std::uint32_t v = 0;
  Status status = S_OK;
  if (chars == nullptr || count <= 0) {
    status = E_NO_VALUE;
  } else {
    for (int i = 0; i < count; ++i) {
      if (v > 0x0FFFFFFF) {
        status = E_VALUE_OUT_OF_RANGE;
        break;
      }
      const char16_t c = chars[i];
      std::uint32_t digit;
      if (c >= u'0' && c <= u'9') {
        digit = c - u'0';
      } else if (c >= u'A' && c <= u'F') {
        digit = c - u'A' + 10;
      } else if (c >= u'a' && c <= u'f') {
        digit = c - u'a' + 10;
      } else {
        status = E_NOT_A_HEX_DIGIT;
        break;
      }
      v = (v << 4) | digit;
    }
  }
  *value = v;
  return status;
}

Status FormatUInt32(CountedString& target, std::uint32_t value) {
  char16_t digits[10];
  int n = 0;
  do {
    digits[9 - n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  return target.Assign(digits + 10 - n, n);
}

Status FormatInt32(CountedString& target, std::int32_t value) {
  char16_t digits[11];
  // The magnitude as unsigned, so that -2147483648 needs no special case.
  std::uint32_t magnitude =
      value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  int n = 0;
  do {
    digits[10 - n++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[10 - n++] = u'-';
  return target.Assign(digits + 11 - n, n);
}

Status FormatUInt16(CountedString& target, std::uint16_t value) {
  return FormatUInt32(target, value);
}

Status FormatUInt32Padded(CountedString& target, std::uint32_t value, int minDigits) {
  LT_TRY(FormatUInt32(target, value));
  static const char16_t kZeros[] = u"0000000000";
  while (target.Length() < minDigits) {
    const int add = minDigits - target.Length() > 10 ? 10 : minDigits - target.Length();
    LT_TRY(target.Insert(kZeros, add, 0));
  }
  return S_OK;
}

Status FormatHex(CountedString& target, std::uint32_t value) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  char16_t text[10];
  int n = 0;
  do {
    text[9 - n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  if (n < 2) text[9 - n++] = u'0';
  text[9 - n++] = u'x';
  text[9 - n++] = u'0';
  return target.Assign(text + 10 - n, n);
}

Status FormatFixed1(CountedString& target, double value) {
  if (!std::isfinite(value)) return E_INVALIDARG;
  // The exact decimal expansion of the magnitude, then rounding half away from zero at the first
  // decimal, as the runtime's fixed-point conversion does.
  const double magnitude = std::fabs(value);
  char buffer[400];  // the largest double has 309 digits before the point
  std::snprintf(buffer, sizeof buffer, "%.40f", magnitude);
  const std::string exact(buffer);
  const std::size_t point = exact.find('.');
  std::string digits = exact.substr(0, point) + exact[point + 1];
  if (exact[point + 2] >= '5') {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
      digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[static_cast<std::size_t>(i)];
    }
  }
  std::size_t first = 0;
  while (first + 1 < digits.size() && digits[first] == '0') ++first;
  digits.erase(0, first);
  std::string text = (value < 0 && digits != "0") ? "-" : "";
  if (digits.size() == 1) {
    text += '.';
    text += digits;
  } else {
    text += digits.substr(0, digits.size() - 1) + '.' + digits.back();
  }
  return target.AssignUtf8(text);
}

}  // namespace lumatag
