#include "metadata/MetadataCatalogue.h"

#include "foundation/Numbers.h"

namespace lumatag {

namespace {

constexpr MetadataName kCatalogue[] = {
    {11, IDS_META_PIXEL_X_DIMENSION, kTagPixelXDimension},
    {12, IDS_META_PIXEL_Y_DIMENSION, kTagPixelYDimension},
    {13, IDS_META_IMAGE_DESCRIPTION, kTagImageDescription},
    {14, IDS_META_MAKE, kTagMake},
    {15, IDS_META_MODEL, kTagModel},
    {16, IDS_META_ORIENTATION, kTagOrientation},
    {17, IDS_META_SOFTWARE, kTagSoftware},
    {18, IDS_META_DATE_TIME_ORIGINAL, kTagDateTimeOriginal},
    {19, IDS_META_ARTIST, kTagArtist},
    {20, IDS_META_COPYRIGHT, kTagCopyright},
    {21, IDS_META_ISO_SPEED_RATINGS, kTagISOSpeedRatings},
    {22, IDS_META_METERING_MODE, kTagMeteringMode},
    {23, IDS_META_FOCAL_LENGTH_IN_35MM_FORMAT, kTagFocalLengthIn35mmFormat},
    {24, IDS_META_FOCAL_LENGTH, kTagFocalLength},
    {25, IDS_META_EXPOSURE_TIME, kTagExposureTime},
    {26, IDS_META_F_NUMBER, kTagFNumber},
    {27, IDS_META_RESOLUTION_UNIT, kTagResolutionUnit},
    {28, IDS_META_X_RESOLUTION, kTagXResolution},
    {29, IDS_META_Y_RESOLUTION, kTagYResolution},
    {30, IDS_META_EXPOSURE_PROGRAM, kTagExposureProgram},
    {31, IDS_META_DATE_TIME_DIGITIZED, kTagDateTimeDigitized},
    {32, IDS_META_WHITE_BALANCE, kTagWhiteBalance},
    {33, IDS_META_LIGHT_SOURCE, kTagLightSource},
    {34, IDS_META_COLOR_SPACE, kTagColorSpace},
    {35, IDS_META_DATE_TIME, kTagDateTime},
    {36, IDS_META_SUBJECT_DISTANCE, kTagSubjectDistance},
    {37, IDS_META_USER_COMMENT, kTagUserComment},
    {38, IDS_META_SUBJECT_LOCATION, kTagSubjectLocation},
    {39, IDS_META_PHOTOMETRIC_INTERPRETATION, kTagPhotometricInterpretation},
};

}  // namespace

std::span<const MetadataName> MetadataCatalogue() {
  return kCatalogue;
}

Status LookUpMetadataName(const StringModule& strings, std::u16string_view name,
                          std::uint16_t* tag) {
  for (const MetadataName& entry : kCatalogue) {
    if (strings.Text(entry.stringId) == name && !name.empty()) {
      *tag = entry.tag;
      return S_OK;
    }
  }
  return E_NOT_FOUND;
}

const MetadataName* FindMetadataName(std::uint16_t tag) {
  for (const MetadataName& entry : kCatalogue) {
    if (entry.tag == tag) return &entry;
  }
  return nullptr;
}

Status ParseMetadataId(std::u16string_view text, std::uint16_t* tag, std::uint16_t* message) {
  *tag = 0;
  *message = 0;
  const int count = static_cast<int>(text.size());
  Status status;
  if (!text.empty() && text[0] == u'x') {
    std::uint32_t value = 0;
    status = ParseHex32(text.data() + 1, count - 1, &value);
    if (Succeeded(status) && value > 0xFFFF) status = E_VALUE_OUT_OF_RANGE;
    if (Succeeded(status)) *tag = static_cast<std::uint16_t>(value);
  } else {
    std::uint16_t value = 0;
    status = ParseUInt16(text.data(), count, &value);
    if (Succeeded(status)) *tag = value;
  }
  if (Succeeded(status)) return S_OK;
  *tag = 0;
  switch (status) {
    case E_NO_VALUE:
      *message = IDS_ERR_METADATA_ID_EMPTY;
      break;
    case E_NOT_A_HEX_DIGIT:
      *message = IDS_ERR_INVALID_CHARACTER_HEX;
      break;
    case E_NOT_A_DIGIT:
      *message = IDS_ERR_INVALID_CHARACTER_INTEGER;
      break;
    case E_VALUE_OUT_OF_RANGE:
      *message = IDS_ERR_INTEGER_TOO_BIG_METADATA;
      break;
    default:
      *message = IDS_ERR_METADATA_ID;
      break;
  }
  return status;
}

}  // namespace lumatag
