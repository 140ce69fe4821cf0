#include "metadata/SamplePhoto.h"

#include <cstring>
#include <string>
#include <vector>

#include "metadata/MetadataCatalogue.h"

namespace lumatag {

namespace {

Status AddAscii(PhotoFacts* photo, std::uint16_t tag, std::uint16_t id,
                const StringModule& strings) {
  // The text as a camera stores it: 8-bit characters and a terminating zero.
  const std::string text = Utf16ToUtf8(strings.Text(id));
  return AddMetadataValue(photo, tag, kTypeAscii, static_cast<std::uint32_t>(text.size() + 1),
                          text.c_str(), strings);
}

Status AddShorts(PhotoFacts* photo, std::uint16_t tag, std::initializer_list<std::uint16_t> values,
                 const StringModule& strings) {
  return AddMetadataValue(photo, tag, kTypeShort, static_cast<std::uint32_t>(values.size()),
                          std::data(values), strings);
}

Status AddRational(PhotoFacts* photo, std::uint16_t tag, std::uint32_t numerator,
                   std::uint32_t denominator, const StringModule& strings) {
  const std::uint32_t value[2] = {numerator, denominator};
  return AddMetadataValue(photo, tag, kTypeRational, 1, value, strings);
}

Status AddUserComment(PhotoFacts* photo, const StringModule& strings) {
  // "Unicode", a zero byte, then the comment in 16-bit units (little-endian, as the entries of a
  // photo read from an "II" file carry them).
  std::vector<std::uint8_t> bytes = {'U', 'n', 'i', 'c', 'o', 'd', 'e', 0};
  for (char16_t unit : strings.Text(IDS_SAMPLE_USER_COMMENT)) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return AddMetadataValue(photo, kTagUserComment, kTypeByte,
                          static_cast<std::uint32_t>(bytes.size()), bytes.data(), strings);
}

Status AddSampleMetadata(PhotoFacts* photo, const StringModule& s) {
  LT_TRY(AddAscii(photo, kTagMake, IDS_SAMPLE_MAKE, s));
  LT_TRY(AddAscii(photo, kTagModel, IDS_SAMPLE_MODEL, s));
  LT_TRY(AddAscii(photo, kTagArtist, IDS_SAMPLE_ARTIST, s));
  LT_TRY(AddAscii(photo, kTagCopyright, IDS_SAMPLE_COPYRIGHT, s));
  LT_TRY(AddAscii(photo, kTagImageDescription, IDS_SAMPLE_IMAGE_DESCRIPTION, s));
  LT_TRY(AddAscii(photo, kTagDateTime, IDS_SAMPLE_DATE_TIME, s));
  LT_TRY(AddAscii(photo, kTagDateTimeDigitized, IDS_SAMPLE_DATE_TIME, s));
  LT_TRY(AddAscii(photo, kTagDateTimeOriginal, IDS_SAMPLE_DATE_TIME, s));
  LT_TRY(AddShorts(photo, kTagPixelXDimension, {1024}, s));
  LT_TRY(AddShorts(photo, kTagPixelYDimension, {768}, s));
  LT_TRY(AddShorts(photo, kTagColorSpace, {1}, s));
  LT_TRY(AddRational(photo, kTagXResolution, 300, 1, s));
  LT_TRY(AddRational(photo, kTagYResolution, 300, 1, s));
  LT_TRY(AddShorts(photo, kTagResolutionUnit, {2}, s));
  LT_TRY(AddShorts(photo, kTagWhiteBalance, {0}, s));
  LT_TRY(AddShorts(photo, kTagExposureProgram, {2}, s));
  LT_TRY(AddShorts(photo, kTagISOSpeedRatings, {200}, s));
  LT_TRY(AddShorts(photo, kTagLightSource, {1}, s));
  LT_TRY(AddShorts(photo, kTagMeteringMode, {5}, s));
  LT_TRY(AddShorts(photo, kTagOrientation, {1}, s));
  LT_TRY(AddShorts(photo, kTagPhotometricInterpretation, {2}, s));
  LT_TRY(AddShorts(photo, kTagFocalLengthIn35mmFormat, {127}, s));
  LT_TRY(AddShorts(photo, kTagSubjectLocation, {512, 225}, s));
  LT_TRY(AddRational(photo, kTagExposureTime, 10, 600, s));
  LT_TRY(AddRational(photo, kTagFNumber, 71, 10, s));
  LT_TRY(AddRational(photo, kTagFocalLength, 50, 1, s));
  LT_TRY(AddRational(photo, kTagSubjectDistance, 20, 1, s));
  LT_TRY(AddUserComment(photo, s));
  return S_OK;
}

}  // namespace

Status BuildSamplePhoto(PhotoFacts* photo, PrivateHeap* heap, const StringModule& strings,
                        const SystemTime& fileDate) {
  const std::u16string name(strings.Text(IDS_SAMPLE_FILE_NAME));
  LT_TRY(SetupPhotoFacts(photo, heap, name.c_str(), fileDate, kNoPatternIndex, 0));
  const Status status = AddSampleMetadata(photo, strings);
  if (Failed(status)) ClearPhotoFacts(photo);
  return status;
}

}  // namespace lumatag
