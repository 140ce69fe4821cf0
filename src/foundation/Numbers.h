// Number parsing and formatting with the program's failure statuses.
//
// Parsers take characters and a count, write the value through a pointer (also the part accumulated
// before a failure) and return: E_NO_VALUE for an empty input, E_NOT_A_DIGIT / E_NOT_A_HEX_DIGIT
// for a bad character, E_VALUE_OUT_OF_RANGE on overflow. They do not trim.
#pragma once

#include <cstdint>

#include "foundation/CountedString.h"

namespace lumatag {

Status ParseUInt16(const char16_t* chars, int count, std::uint16_t* value);
Status ParseUInt32(const char16_t* chars, int count, std::uint32_t* value);
Status ParseUInt32(const CountedString& text, std::uint32_t* value);
Status ParseInt32(const char16_t* chars, int count, std::int32_t* value);
Status ParseHex32(const char16_t* chars, int count, std::uint32_t* value);

// Formatters assign into `target`.
Status FormatInt32(CountedString& target, std::int32_t value);
Status FormatUInt16(CountedString& target, std::uint16_t value);
Status FormatUInt32(CountedString& target, std::uint32_t value);
// Leading "0"s up to `minDigits`; a longer number is never cut.
Status FormatUInt32Padded(CountedString& target, std::uint32_t value, int minDigits);
// "0x" and at least two lower-case hexadecimal digits.
Status FormatHex(CountedString& target, std::uint32_t value);
// Fixed point, one digit after the point, rounded half away from zero; a magnitude below 1 has no
// digit before the point (".5", "-.7").
Status FormatFixed1(CountedString& target, double value);

}  // namespace lumatag
