#include "metadata/MetadataText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "foundation/Numbers.h"
#include "metadata/MetadataCatalogue.h"

namespace lumatag {

namespace {

struct EnumText {
  std::uint16_t value;
  std::uint16_t id;
};

constexpr EnumText kPhotometric[] = {
    {0, IDS_PHOTOMETRIC_WHITE_IS_ZERO},
    {1, IDS_PHOTOMETRIC_BLACK_IS_ZERO},
    {2, IDS_PHOTOMETRIC_RGB},
    {3, IDS_PHOTOMETRIC_RGB_PALETTE},
    {4, IDS_PHOTOMETRIC_TRANSPARENCY_MASK},
    {5, IDS_PHOTOMETRIC_CMYK},
    {6, IDS_PHOTOMETRIC_YCBCR},
    {8, IDS_PHOTOMETRIC_CIE_LAB},
    {9, IDS_PHOTOMETRIC_ICC_LAB},
    {10, IDS_PHOTOMETRIC_ITU_LAB},
    {32803, IDS_PHOTOMETRIC_COLOR_FILTER_ARRAY},
    {32844, IDS_PHOTOMETRIC_PIXAR_LOGL},
    {32845, IDS_PHOTOMETRIC_PIXAR_LOGLUV},
    {34892, IDS_PHOTOMETRIC_LINEAR_RAW},
};
constexpr EnumText kOrientation[] = {
    {1, IDS_ORIENT_LANDSCAPE},
    {2, IDS_ORIENT_LANDSCAPE_MIRRORED},
    {3, IDS_ORIENT_LANDSCAPE_ROTATED_180},
    {4, IDS_ORIENT_PORTRAIT_MIRRORED},
    {5, IDS_ORIENT_PORTRAIT_MIRRORED_ROTATED_270},
    {6, IDS_ORIENT_PORTRAIT},
    {7, IDS_ORIENT_PORTRAIT_MIRRORED_ROTATED_90},
    {8, IDS_ORIENT_PORTRAIT_ROTATED_270},
};
constexpr EnumText kResolutionUnit[] = {
    {1, IDS_RESUNIT_NONE}, {2, IDS_RESUNIT_DPI}, {3, IDS_RESUNIT_DPC}};
constexpr EnumText kColorSpace[] = {{1, IDS_COLORSPACE_SRGB},
                                    {2, IDS_COLORSPACE_ADOBE_RGB},
                                    {65533, IDS_COLORSPACE_WIDE_GAMUT_RGB},
                                    {65534, IDS_COLORSPACE_ICC_PROFILE},
                                    {65535, IDS_COLORSPACE_UNCALIBRATED}};
constexpr EnumText kMeteringMode[] = {{0, IDS_METERING_UNKNOWN},
                                      {1, IDS_METERING_AVERAGE},
                                      {2, IDS_METERING_CENTER_WEIGHTED_AVERAGE},
                                      {3, IDS_METERING_SPOT},
                                      {4, IDS_METERING_MULTI_SPOT},
                                      {5, IDS_METERING_PATTERN},
                                      {6, IDS_METERING_PARTIAL},
                                      {255, IDS_METERING_OTHER}};
constexpr EnumText kLightSource[] = {{0, IDS_LIGHT_UNKNOWN},
                                     {1, IDS_LIGHT_DAYLIGHT},
                                     {2, IDS_LIGHT_FLUORESCENT},
                                     {3, IDS_LIGHT_TUNGSTEN},
                                     {4, IDS_LIGHT_FLASH},
                                     {9, IDS_LIGHT_FINE_WEATHER},
                                     {10, IDS_LIGHT_CLOUDY},
                                     {11, IDS_LIGHT_SHADE},
                                     {12, IDS_LIGHT_DAYLIGHT_FLUORESCENT},
                                     {13, IDS_LIGHT_DAY_WHITE_FLUORESCENT},
                                     {14, IDS_LIGHT_COOL_WHITE_FLUORESCENT},
                                     {15, IDS_LIGHT_WHITE_FLUORESCENT},
                                     {16, IDS_LIGHT_WARM_WHITE_FLUORESCENT},
                                     {17, IDS_LIGHT_STANDARD_A},
                                     {18, IDS_LIGHT_STANDARD_B},
                                     {19, IDS_LIGHT_STANDARD_C},
                                     {20, IDS_LIGHT_D55},
                                     {21, IDS_LIGHT_D65},
                                     {22, IDS_LIGHT_D75},
                                     {23, IDS_LIGHT_D50},
                                     {24, IDS_LIGHT_ISO_STUDIO_TUNGSTEN},
                                     {255, IDS_LIGHT_OTHER}};
constexpr EnumText kExposureMode[] = {
    {0, IDS_EXPMODE_AUTO}, {1, IDS_EXPMODE_MANUAL}, {2, IDS_EXPMODE_AUTO_BRACKET}};
constexpr EnumText kExposureProgram[] = {{0, IDS_EXPPROG_UNDEFINED}, {1, IDS_EXPPROG_MANUAL},
                                         {2, IDS_EXPPROG_NORMAL},    {3, IDS_EXPPROG_APERTURE},
                                         {4, IDS_EXPPROG_SHUTTER},   {5, IDS_EXPPROG_CREATIVE},
                                         {6, IDS_EXPPROG_ACTION},    {7, IDS_EXPPROG_PORTRAIT},
                                         {8, IDS_EXPPROG_LANDSCAPE}, {9, IDS_EXPPROG_BULB}};
constexpr EnumText kWhiteBalance[] = {{0, IDS_WHITEBAL_AUTO}, {1, IDS_WHITEBAL_MANUAL}};
constexpr EnumText kContrast[] = {
    {0, IDS_CONTRAST_NORMAL}, {1, IDS_CONTRAST_LOW}, {2, IDS_CONTRAST_HIGH}};
constexpr EnumText kSaturation[] = {
    {0, IDS_SATURATION_NORMAL}, {1, IDS_SATURATION_LOW}, {2, IDS_SATURATION_HIGH}};
constexpr EnumText kSharpness[] = {
    {0, IDS_SHARPNESS_NORMAL}, {1, IDS_SHARPNESS_SOFT}, {2, IDS_SHARPNESS_HARD}};
constexpr EnumText kDistanceRange[] = {{0, IDS_DISTRANGE_UNKNOWN},
                                       {1, IDS_DISTRANGE_MACRO},
                                       {2, IDS_DISTRANGE_CLOSE},
                                       {3, IDS_DISTRANGE_DISTANT}};

template <std::size_t N>
std::uint16_t LookUp(const EnumText (&table)[N], std::uint16_t value) {
  for (const EnumText& e : table) {
    if (e.value == value) return e.id;
  }
  return 0;
}

using Text = std::u16string;

void AppendNumber(Text& text, std::uint64_t value, bool negative = false) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  if (negative) text += u'-';
  for (const char* p = digits; p < result.ptr; ++p) text += static_cast<char16_t>(*p);
}

void AppendSigned(Text& text, std::int64_t value) {
  const bool negative = value < 0;
  AppendNumber(text,
               negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value),
               negative);
}

// numerator/denominator, or the quotient alone when the denominator divides the numerator.
void AppendFraction(Text& text, std::int64_t numerator, std::int64_t denominator) {
  if (denominator != 0 && numerator % denominator == 0) {
    AppendSigned(text, numerator / denominator);
    return;
  }
  AppendSigned(text, numerator);
  text += u'/';
  AppendSigned(text, denominator);
}

// The value rounded to tenths as FormatFixed1 rounds it (half away from zero, decided on the
// second decimal of the value's exact binary expansion), for a value that is finite, not
// negative and below 2^53; false for any other value.
bool RoundToTenths(double value, std::uint64_t* tenths) {
  if (!(value >= 0.0) || !(value < 9007199254740992.0)) return false;
  int exponent = 0;
  const double fraction = std::frexp(value, &exponent);
  // value = mantissa × 2^(exponent - 53), exactly.
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int shift = 53 - exponent;
  std::uint64_t hundredths = 0;  // floor(value × 100), below 2^60
  if (shift <= 0) {
    hundredths = (mantissa << -shift) * 100;
  } else if (shift < 64) {
    hundredths = (mantissa * 100) >> shift;
  }
  *tenths = hundredths / 10 + (hundredths % 10 >= 5 ? 1 : 0);
  return true;
}

// One digit after the point; a text longer than two characters loses a trailing ".0".
Status AppendOneDecimal(Text& text, double value) {
  std::uint64_t tenths = 0;
  if (RoundToTenths(value, &tenths)) {
    // FormatFixed1's text: the whole part without leading zeros (none when it is 0), the point,
    // the tenths digit.
    if (tenths >= 10) AppendNumber(text, tenths / 10);
    if (tenths % 10 != 0 || tenths < 10) {
      text += u'.';
      text += static_cast<char16_t>(u'0' + tenths % 10);
    }
    return S_OK;
  }
  FixedString<400> fixed;
  LT_TRY(FormatFixed1(fixed, value));
  std::u16string_view view = fixed.View();
  if (view.size() > 2 && view.substr(view.size() - 2) == u".0") view.remove_suffix(2);
  text += view;
  return S_OK;
}

std::uint32_t U32At(const std::uint8_t* data, std::uint32_t index) {
  std::uint32_t v;
  std::memcpy(&v, data + index * 4, 4);
  return v;
}
std::uint16_t U16At(const std::uint8_t* data, std::uint32_t index) {
  std::uint16_t v;
  std::memcpy(&v, data + index * 2, 2);
  return v;
}

bool Full(const Text& text) {
  return text.size() >= static_cast<std::size_t>(CountedString::kMaxLength);
}

void Separate(Text& text, std::uint32_t index) {
  if (index > 0) text += u", ";
}

void Trim(Text& text) {
  std::size_t end = text.size();
  while (end > 0 && IsWideSpace(text[end - 1])) --end;
  std::size_t start = 0;
  while (start < end && IsWideSpace(text[start])) ++start;
  text.erase(end);
  text.erase(0, start);
}

void AppendAnsi(Text& text, const std::uint8_t* bytes, std::uint32_t size) {
  std::uint32_t n = 0;
  while (n < size && bytes[n] != 0) ++n;
  if (n == 0) return;
  // A text never exceeds what a string holds, and every byte makes at most one UTF-16 unit.
  const std::uint32_t limit = CountedString::kMaxLength * 4u;
  if (n > limit) n = limit;
  const std::uint32_t units = n < CountedString::kMaxLength ? n : CountedString::kMaxLength;
  // ASCII reads the same in every conversion: one unit per byte.
  bool ascii = true;
  for (std::uint32_t i = 0; i < n && ascii; ++i) ascii = bytes[i] < 0x80;
  if (ascii) {
    text.append(bytes, bytes + units);
    return;
  }
  std::u16string converted(units + 1, u'\0');
  int written = 0;
  (void)ConvertFromAnsi(reinterpret_cast<const char*>(bytes), static_cast<int>(n), converted.data(),
                        static_cast<int>(converted.size()), &written);
  text.append(converted.data(), static_cast<std::size_t>(written));
}

// The comment's first eight bytes name its character code; "UNICODE" (any case) and a zero byte
// mean 16-bit units in the file's byte order, anything else 8-bit text.
void RenderUserComment(Text& text, const MetadataEntry& entry) {
  const std::uint32_t size = entry.DataSize();
  if (size < 8) return;
  static constexpr char kUnicode[] = "UNICODE";
  bool unicode = entry.data[7] == 0;
  for (int i = 0; i < 7 && unicode; ++i) {
    char c = static_cast<char>(entry.data[i]);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    unicode = c == kUnicode[i];
  }
  if (unicode) {
    const std::uint32_t units = (size - 8) / 2;
    for (std::uint32_t i = 0; i < units && !Full(text); ++i) {
      const std::uint8_t* p = entry.data + 8 + i * 2;
      const char16_t unit = entry.bigEndianSource ? static_cast<char16_t>((p[0] << 8) | p[1])
                                                  : static_cast<char16_t>(p[0] | (p[1] << 8));
      // Padding after the text is not part of it.
      if (unit == 0) break;
      text += unit;
    }
  } else {
    AppendAnsi(text, entry.data + 8, size - 8);
  }
  Trim(text);
}

void RenderExposureTime(Text& text, std::uint32_t numerator, std::uint32_t denominator) {
  if (numerator != 0 && denominator != 0 && numerator <= denominator) {
    // One second or shorter: "1/" and the whole number of the reciprocal.
    text += u"1/";
    AppendNumber(text, static_cast<std::uint64_t>(static_cast<double>(denominator) / numerator));
  } else if (numerator != 0 && denominator != 0) {
    // Longer exposures read as seconds: "2", "1.5".
    (void)AppendOneDecimal(text, static_cast<double>(numerator) / denominator);
  } else {
    AppendFraction(text, numerator, denominator);
  }
}

Status RenderText(Text& text, const MetadataEntry* entry, const StringModule& strings) {
  const std::uint32_t count = entry->count;
  const std::uint8_t* data = entry->data;
  switch (entry->type) {
    case kTypeByte:
    case kTypeUndefined:
      if (entry->tag == kTagUserComment) {
        RenderUserComment(text, *entry);
        return S_OK;
      }
      for (std::uint32_t i = 0; i < count && !Full(text); ++i) {
        Separate(text, i);
        AppendNumber(text, data[i]);
      }
      return S_OK;
    case kTypeAscii:
      AppendAnsi(text, data, entry->DataSize());
      Trim(text);
      return S_OK;
    case kTypeShort: {
      const std::uint16_t id = EnumeratedValueText(entry->tag, U16At(data, 0));
      if (id != 0 && strings.Contains(id)) {
        text += strings.Text(id);
        return S_OK;
      }
      for (std::uint32_t i = 0; i < count && !Full(text); ++i) {
        Separate(text, i);
        AppendNumber(text, U16At(data, i));
      }
      return S_OK;
    }
    case kTypeLong:
      for (std::uint32_t i = 0; i < count && !Full(text); ++i) {
        Separate(text, i);
        AppendNumber(text, U32At(data, i));
      }
      return S_OK;
    case kTypeRational: {
      const std::uint32_t numerator = U32At(data, 0);
      const std::uint32_t denominator = U32At(data, 1);
      if (entry->tag == kTagExposureTime) {
        RenderExposureTime(text, numerator, denominator);
        return S_OK;
      }
      if ((entry->tag == kTagFNumber || entry->tag == kTagFocalLength) && denominator != 0) {
        return AppendOneDecimal(text, static_cast<double>(numerator) / denominator);
      }
      for (std::uint32_t i = 0; i < count && !Full(text); ++i) {
        Separate(text, i);
        AppendFraction(text, U32At(data, 2 * i), U32At(data, 2 * i + 1));
      }
      return S_OK;
    }
    case kTypeSLong:
      for (std::uint32_t i = 0; i < count && !Full(text); ++i) {
        Separate(text, i);
        AppendSigned(text, static_cast<std::int32_t>(U32At(data, i)));
      }
      return S_OK;
    case kTypeSRational:
      for (std::uint32_t i = 0; i < count && !Full(text); ++i) {
        Separate(text, i);
        // 64-bit arithmetic: -2147483648 / -1 has a quotient that 32 bits cannot hold.
        AppendFraction(text, static_cast<std::int32_t>(U32At(data, 2 * i)),
                       static_cast<std::int32_t>(U32At(data, 2 * i + 1)));
      }
      return S_OK;
    default:
      return E_UNEXPECTED;
  }
}

}  // namespace

std::uint16_t EnumeratedValueText(std::uint16_t tag, std::uint16_t value) {
  switch (tag) {
    case kTagPhotometricInterpretation:
      return LookUp(kPhotometric, value);
    case kTagOrientation:
      return LookUp(kOrientation, value);
    case kTagResolutionUnit:
      return LookUp(kResolutionUnit, value);
    case kTagColorSpace:
      return LookUp(kColorSpace, value);
    case kTagMeteringMode:
      return LookUp(kMeteringMode, value);
    case kTagLightSource:
      return LookUp(kLightSource, value);
    case 0xA402:
      return LookUp(kExposureMode, value);
    case kTagExposureProgram:
      return LookUp(kExposureProgram, value);
    case kTagWhiteBalance:
      return LookUp(kWhiteBalance, value);
    case 0xA408:
    case 0xFE54:
      return LookUp(kContrast, value);
    case 0xA409:
    case 0xFE55:
      return LookUp(kSaturation, value);
    case 0xA40A:
    case 0xFE56:
      return LookUp(kSharpness, value);
    case 0xA40C:
      return LookUp(kDistanceRange, value);
    default:
      return 0;
  }
}

SystemTime ParseMetadataDate(const std::uint8_t* bytes, std::uint32_t size) {
  std::uint16_t fields[6] = {};
  int field = 0;
  std::uint32_t i = 0;
  while (field < 6) {
    // One field: read like atoi (blanks, a sign, digits), then skip to the separator.
    // (The space is a separator, so only the other blanks can lead a field.)
    std::uint32_t at = i;
    while (at < size && (bytes[at] == '\t' || bytes[at] == '\n' || bytes[at] == '\v' ||
                         bytes[at] == '\f' || bytes[at] == '\r')) {
      ++at;
    }
    bool negative = false;
    if (at < size && (bytes[at] == '+' || bytes[at] == '-')) negative = bytes[at++] == '-';
    std::uint32_t value = 0;
    while (at < size && bytes[at] >= '0' && bytes[at] <= '9')
      value = value * 10 + (bytes[at++] - '0');
    fields[field++] = static_cast<std::uint16_t>(negative ? 0u - value : value);
    while (i < size && bytes[i] != 0 && bytes[i] != ':' && bytes[i] != ' ') ++i;
    if (i >= size || bytes[i] == 0) break;
    ++i;  // the separator ends this field only
  }
  SystemTime date{0, 0, 0, 0, 0, 0, 0, 0};
  date.year = fields[0];
  date.month = fields[1];
  date.day = fields[2];
  date.hour = fields[3];
  date.minute = fields[4];
  date.second = fields[5];
  return date;
}

namespace {

// The checks every value passes before its text is made: an accepted type, and data holding every
// element the count names.
Status CheckValue(const MetadataEntry& entry) {
  std::uint32_t size = 0;
  if (Failed(MetadataByteSize(entry.type, entry.count, &size)) || size > entry.DataSize()) {
    return E_UNEXPECTED;
  }
  return S_OK;
}

bool IsDateValue(const MetadataEntry& entry) {
  return entry.type == kTypeAscii &&
         (entry.tag == kTagDateTime || entry.tag == kTagDateTimeOriginal);
}

// Renders into `text`, cut at what a string holds.
Status RenderCut(const MetadataEntry& entry, const StringModule& strings, Text& text) {
  text.clear();
  LT_TRY(RenderText(text, &entry, strings));
  if (Full(text)) {
    std::size_t cut = CountedString::kMaxLength;
    if (text[cut - 1] >= 0xD800 && text[cut - 1] <= 0xDBFF) --cut;
    text.resize(cut);
  }
  return S_OK;
}

}  // namespace

Status RenderMetadataValue(MetadataEntry* entry, PrivateHeap* heap, const StringModule& strings) {
  if (entry == nullptr || heap == nullptr) return E_INVALIDARG;
  if (!entry->text.IsEmpty()) return S_OK;
  LT_TRY(CheckValue(*entry));
  // A value of count 0 reads as empty text.
  if (entry->count == 0) return S_OK;
  // One text buffer serves every value the thread renders.
  thread_local Text text;
  const Status status = RenderCut(*entry, strings, text);
  if (Failed(status)) {
    entry->text.Release();
    entry->hasDate = false;
    return status;
  }
  if (IsDateValue(*entry)) {
    entry->date = ParseMetadataDate(entry->data, entry->DataSize());
    entry->hasDate = true;
  }
  entry->textDeferred = false;
  const Status assign = entry->text.Assign(heap, text);
  if (Failed(assign)) {
    entry->text.Release();
    entry->hasDate = false;
  }
  return assign;
}

Status PrepareMetadataValue(MetadataEntry* entry, PrivateHeap* heap, const StringModule& strings) {
  if (entry == nullptr || heap == nullptr) return E_INVALIDARG;
  if (!entry->text.IsEmpty() || entry->textDeferred) return S_OK;
  LT_TRY(CheckValue(*entry));
  if (entry->count == 0) return S_OK;
  // A named value's text comes from the string table, which the entry does not keep: it is
  // rendered now. Every other text is made from the data alone, whenever it is asked for.
  if (entry->type == kTypeShort && EnumeratedValueText(entry->tag, U16At(entry->data, 0)) != 0) {
    return RenderMetadataValue(entry, heap, strings);
  }
  if (IsDateValue(*entry)) {
    entry->date = ParseMetadataDate(entry->data, entry->DataSize());
    entry->hasDate = true;
  }
  entry->textDeferred = true;
  return S_OK;
}

std::u16string_view MetadataEntryText(const MetadataEntry& entry, std::u16string& scratch) {
  if (!entry.textDeferred) return entry.text.View();
  // Deferred values passed every check when they were read and have no named value, so the
  // string table plays no part and rendering cannot fail.
  if (Failed(RenderCut(entry, StringModule::BuiltIn(), scratch))) scratch.clear();
  return scratch;
}

}  // namespace lumatag
