// A photo file: a BufferedFile that knows, after the format check, whether it holds TIFF data or a
// JPEG stream, and the byte order of TIFF data.
#pragma once

#include <cstdint>

#include "metadata/BufferedFile.h"

namespace lumatag {

// The 8-byte TIFF header in host order.
struct TiffHeader {
  std::uint16_t byteOrder = 0;  // 0x4949 "II" or 0x4D4D "MM"
  std::uint16_t magic = 0;      // 42
  std::uint32_t ifd0Offset = 0;
};

// Checks the header bytes: a byte-order mark "II" or "MM" and the magic 42 in either byte order.
// Fills `header` (swapped for "MM") and `bigEndian`; false when the bytes are not a TIFF header.
bool ParseTiffHeader(const std::uint8_t bytes[8], TiffHeader* header, bool* bigEndian);

class ImageFile : public BufferedFile {
 public:
  enum Kind { kUnknown = 0, kTiff = 1, kJpeg = 2 };

  // Reads the header at offset 0 and decides TIFF or JPEG; E_NOTIMPL for any other file. A JPEG is
  // left positioned at offset 2, after its start-of-image marker.
  Status CheckFormat();

  Kind kind() const { return kind_; }
  bool bigEndian() const { return bigEndian_; }
  const TiffHeader& header() const { return header_; }

 private:
  Kind kind_ = kUnknown;
  bool bigEndian_ = false;
  TiffHeader header_;
};

}  // namespace lumatag
