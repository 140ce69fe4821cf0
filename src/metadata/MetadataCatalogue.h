// The named metadata values that patterns and the Insert Metadata dialog refer to, tag numbers the
// program treats specially, and reading a metadata ID typed as a number.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "foundation/StringTable.h"

namespace lumatag {

inline constexpr std::uint16_t kTagPhotometricInterpretation = 0x0106;
inline constexpr std::uint16_t kTagImageDescription = 0x010E;
inline constexpr std::uint16_t kTagMake = 0x010F;
inline constexpr std::uint16_t kTagModel = 0x0110;
inline constexpr std::uint16_t kTagOrientation = 0x0112;
inline constexpr std::uint16_t kTagXResolution = 0x011A;
inline constexpr std::uint16_t kTagYResolution = 0x011B;
inline constexpr std::uint16_t kTagResolutionUnit = 0x0128;
inline constexpr std::uint16_t kTagSoftware = 0x0131;
inline constexpr std::uint16_t kTagDateTime = 0x0132;
inline constexpr std::uint16_t kTagArtist = 0x013B;
inline constexpr std::uint16_t kTagCopyright = 0x8298;
inline constexpr std::uint16_t kTagExposureTime = 0x829A;
inline constexpr std::uint16_t kTagFNumber = 0x829D;
inline constexpr std::uint16_t kTagExposureProgram = 0x8822;
inline constexpr std::uint16_t kTagISOSpeedRatings = 0x8827;
inline constexpr std::uint16_t kTagDateTimeOriginal = 0x9003;
inline constexpr std::uint16_t kTagDateTimeDigitized = 0x9004;
inline constexpr std::uint16_t kTagSubjectDistance = 0x9206;
inline constexpr std::uint16_t kTagMeteringMode = 0x9207;
inline constexpr std::uint16_t kTagLightSource = 0x9208;
inline constexpr std::uint16_t kTagFocalLength = 0x920A;
inline constexpr std::uint16_t kTagSubjectLocation = 0x9214;
inline constexpr std::uint16_t kTagUserComment = 0x9286;
inline constexpr std::uint16_t kTagColorSpace = 0xA001;
inline constexpr std::uint16_t kTagPixelXDimension = 0xA002;
inline constexpr std::uint16_t kTagPixelYDimension = 0xA003;
inline constexpr std::uint16_t kTagWhiteBalance = 0xA403;
inline constexpr std::uint16_t kTagFocalLengthIn35mmFormat = 0xA405;

// One named value: its keyword number in the pattern language, the string-table entry that holds
// its name, and its tag.
struct MetadataName {
  std::uint16_t keyword;
  std::uint16_t stringId;
  std::uint16_t tag;
};

// The 29 named values in their fixed order (keywords 11 to 39).
std::span<const MetadataName> MetadataCatalogue();

// The tag of a catalogue name, matched exactly (case included) against the names of `strings`;
// E_NOT_FOUND when no name matches.
Status LookUpMetadataName(const StringModule& strings, std::u16string_view name,
                          std::uint16_t* tag);
// The catalogue entry of a tag, or nothing when the tag has no name.
const MetadataName* FindMetadataName(std::uint16_t tag);

// A metadata ID as typed: decimal, or hexadecimal after a lower-case "x". On failure `*message`
// names the string-table text that says why; the status is the parser's.
Status ParseMetadataId(std::u16string_view text, std::uint16_t* tag, std::uint16_t* message);

}  // namespace lumatag
