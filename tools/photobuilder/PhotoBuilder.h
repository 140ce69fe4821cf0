// Builds photo files for tests, benchmarks, fuzz seeds and demos: TIFF files and JPEG files with
// Exif data in APP1, in either byte order, with any tags, types and counts. Values are given as
// numbers and written in the file's byte order; small values go inline, larger ones after their
// directory. Depends on the standard library only.
//
//   PhotoBuilder photo(ByteOrder::kMotorola);
//   photo.Short(Ifd::kPrimary, 0x0112, {6})
//        .Ascii(Ifd::kExif, 0x9003, "2012:12:28 12:09:32")
//        .Rational(Ifd::kExif, 0x829A, {{10, 1250}});
//   std::vector<std::uint8_t> jpeg = photo.Jpeg();
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumatag::photo {

enum class ByteOrder { kIntel, kMotorola };  // "II" little-endian, "MM" big-endian

// The directories a tag can be placed in. IFD0 holds the Exif and GPS pointers, the Exif IFD the
// Interoperability pointer.
enum class Ifd { kPrimary, kExif, kGps, kInterop };

using Bytes = std::vector<std::uint8_t>;

struct JpegOptions {
  JpegOptions& App0(bool on = true) {
    app0 = on;
    return *this;
  }
  JpegOptions& Identifier(std::string identifier) {
    exifIdentifier = std::move(identifier);
    return *this;
  }
  JpegOptions& ScanBytes(std::size_t n) {
    scanBytes = n;
    return *this;
  }

  bool app0 = false;         // a JFIF APP0 segment before APP1
  Bytes segmentsBeforeApp1;  // further raw segments (marker, length, data) before APP1
  std::string exifIdentifier{"Exif\0\0", 6};
  std::size_t scanBytes = 64;  // bytes of image data after the start-of-scan marker
};

class PhotoBuilder {
 public:
  explicit PhotoBuilder(ByteOrder order = ByteOrder::kIntel) : order_(order) {}

  // Typed values, written in the file's byte order.
  PhotoBuilder& Ascii(Ifd ifd, std::uint16_t tag, std::string_view text);  // adds the zero byte
  PhotoBuilder& Bytes8(Ifd ifd, std::uint16_t tag, std::uint16_t type,
                       Bytes bytes);  // BYTE, UNDEFINED, ASCII
  PhotoBuilder& Short(Ifd ifd, std::uint16_t tag, std::initializer_list<std::uint16_t> values);
  PhotoBuilder& Long(Ifd ifd, std::uint16_t tag, std::initializer_list<std::uint32_t> values);
  PhotoBuilder& SLong(Ifd ifd, std::uint16_t tag, std::initializer_list<std::int32_t> values);
  PhotoBuilder& Rational(Ifd ifd, std::uint16_t tag,
                         std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values);
  PhotoBuilder& SRational(Ifd ifd, std::uint16_t tag,
                          std::initializer_list<std::pair<std::int32_t, std::int32_t>> values);
  // A "UNICODE" UserComment (0x9286, UNDEFINED) with the text in the file's byte order.
  PhotoBuilder& UnicodeComment(Ifd ifd, std::u16string_view text);

  // Any type and count with bytes already in file order (inline when at most 4 bytes).
  PhotoBuilder& Raw(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                    Bytes bytes);
  // An entry whose 4-byte value field is given as is (a dangling offset, a huge count, ...).
  PhotoBuilder& RawField(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                         std::uint32_t valueField);

  // Writes the pointer to a sub-directory even when it holds no entries (default: only when it
  // has entries), or never.
  PhotoBuilder& ForcePointer(Ifd ifd);
  PhotoBuilder& OmitPointer(Ifd ifd);

  // The TIFF structure: header at 0, IFD0, its values, then the Exif, GPS and Interoperability
  // directories each followed by their values.
  Bytes Tiff() const;
  // Start of image, optional APP0 and other segments, APP1 with the Exif identifier and the TIFF
  // structure, start of scan, image bytes and end of image.
  Bytes Jpeg(const JpegOptions& options = {}) const;

  ByteOrder order() const { return order_; }

 private:
  struct Entry {
    Ifd ifd;
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes bytes;            // the value in file order
    bool rawField = false;  // valueField is written as is
    std::uint32_t valueField = 0;
    bool pointer = false;  // a sub-directory pointer placed by the layout
  };

  void Put16(Bytes& out, std::uint16_t v) const;
  void Put32(Bytes& out, std::uint32_t v) const;
  PhotoBuilder& Add(Entry entry);

  ByteOrder order_;
  std::vector<Entry> entries_;
  bool forced_[4] = {};
  bool omitted_[4] = {};
};

// Writes bytes to a file; false when it cannot.
bool WriteFile(const std::string& path, const Bytes& bytes);

// A photo like a camera's: IFD0 with make, model, orientation, resolution and dates; an Exif IFD
// with exposure, aperture, ISO, dates, a maker note of `makerNoteBytes` bytes and a user comment;
// an Interoperability IFD; about 30 tags in all. `variant` changes the texts and numbers.
// `orientation` 0 takes 6 for odd variants and 1 for even ones.
PhotoBuilder CameraLikePhoto(ByteOrder order, int variant = 0, std::size_t makerNoteBytes = 2048,
                             int orientation = 0);

}  // namespace lumatag::photo
