#include "metadata/ImageFile.h"

#include "metadata/ByteOrder.h"

namespace lumatag {

bool ParseTiffHeader(const std::uint8_t bytes[8], TiffHeader* header, bool* bigEndian) {
  // The magic's order is not tied to the byte-order mark: "II" followed by 0x00 0x2A passes.
  const std::uint16_t magic = LoadU16(bytes + 2, false);
  if (magic != 0x002A && magic != 0x2A00) return false;
  if (bytes[0] == 'I' && bytes[1] == 'I') {
    *bigEndian = false;
  } else if (bytes[0] == 'M' && bytes[1] == 'M') {
    *bigEndian = true;
  } else {
    return false;
  }
  header->byteOrder = LoadU16(bytes, *bigEndian);
  header->magic = LoadU16(bytes + 2, *bigEndian);
  header->ifd0Offset = LoadU32(bytes + 4, *bigEndian);
  return true;
}

Status ImageFile::CheckFormat() {
  kind_ = kUnknown;
  bigEndian_ = false;
  header_ = TiffHeader{};
  std::uint8_t bytes[8] = {};
  std::uint32_t got = 0;
  LT_TRY(Seek(0, kFromStart));
  LT_TRY(Read(sizeof bytes, bytes, sizeof bytes, &got));
  // A TIFF header needs all eight bytes; a shorter file can still be the start of a JPEG stream.
  if (got == sizeof bytes && ParseTiffHeader(bytes, &header_, &bigEndian_)) {
    kind_ = kTiff;
    return S_OK;
  }
  header_ = TiffHeader{};
  bigEndian_ = false;
  if (got >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
    kind_ = kJpeg;
    return Seek(2, kFromStart);
  }
  return E_NOTIMPL;
}

}  // namespace lumatag
