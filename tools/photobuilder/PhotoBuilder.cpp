#include "photobuilder/PhotoBuilder.h"

#include <cstdio>
#include <cstring>

namespace lumatag::photo {

namespace {

constexpr std::uint16_t kExifPointer = 0x8769;
constexpr std::uint16_t kGpsPointer = 0x8825;
constexpr std::uint16_t kInteropPointer = 0xA005;

int Index(Ifd ifd) {
  return static_cast<int>(ifd);
}

}  // namespace

void PhotoBuilder::Put16(Bytes& out, std::uint16_t v) const {
  if (order_ == ByteOrder::kMotorola) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
  } else {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
}

void PhotoBuilder::Put32(Bytes& out, std::uint32_t v) const {
  if (order_ == ByteOrder::kMotorola) {
    Put16(out, static_cast<std::uint16_t>(v >> 16));
    Put16(out, static_cast<std::uint16_t>(v));
  } else {
    Put16(out, static_cast<std::uint16_t>(v));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
  }
}

PhotoBuilder& PhotoBuilder::Add(Entry entry) {
  entries_.push_back(std::move(entry));
  return *this;
}

PhotoBuilder& PhotoBuilder::Ascii(Ifd ifd, std::uint16_t tag, std::string_view text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return Bytes8(ifd, tag, 2, std::move(bytes));
}

PhotoBuilder& PhotoBuilder::Bytes8(Ifd ifd, std::uint16_t tag, std::uint16_t type, Bytes bytes) {
  const auto count = static_cast<std::uint32_t>(bytes.size());
  return Add({ifd, tag, type, count, std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::Short(Ifd ifd, std::uint16_t tag,
                                  std::initializer_list<std::uint16_t> values) {
  Bytes bytes;
  for (std::uint16_t v : values) Put16(bytes, v);
  return Add({ifd, tag, 3, static_cast<std::uint32_t>(values.size()), std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::Long(Ifd ifd, std::uint16_t tag,
                                 std::initializer_list<std::uint32_t> values) {
  Bytes bytes;
  for (std::uint32_t v : values) Put32(bytes, v);
  return Add({ifd, tag, 4, static_cast<std::uint32_t>(values.size()), std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::SLong(Ifd ifd, std::uint16_t tag,
                                  std::initializer_list<std::int32_t> values) {
  Bytes bytes;
  for (std::int32_t v : values) Put32(bytes, static_cast<std::uint32_t>(v));
  return Add({ifd, tag, 9, static_cast<std::uint32_t>(values.size()), std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::Rational(
    Ifd ifd, std::uint16_t tag,
    std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values) {
  Bytes bytes;
  for (const auto& [n, d] : values) {
    Put32(bytes, n);
    Put32(bytes, d);
  }
  return Add({ifd, tag, 5, static_cast<std::uint32_t>(values.size()), std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::SRational(
    Ifd ifd, std::uint16_t tag,
    std::initializer_list<std::pair<std::int32_t, std::int32_t>> values) {
  Bytes bytes;
  for (const auto& [n, d] : values) {
    Put32(bytes, static_cast<std::uint32_t>(n));
    Put32(bytes, static_cast<std::uint32_t>(d));
  }
  return Add({ifd, tag, 10, static_cast<std::uint32_t>(values.size()), std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::UnicodeComment(Ifd ifd, std::u16string_view text) {
  Bytes bytes = {'U', 'N', 'I', 'C', 'O', 'D', 'E', 0};
  for (char16_t unit : text) Put16(bytes, unit);
  return Bytes8(ifd, 0x9286, 7, std::move(bytes));
}

PhotoBuilder& PhotoBuilder::Raw(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                                Bytes bytes) {
  return Add({ifd, tag, type, count, std::move(bytes)});
}

PhotoBuilder& PhotoBuilder::RawField(Ifd ifd, std::uint16_t tag, std::uint16_t type,
                                     std::uint32_t count, std::uint32_t valueField) {
  return Add({ifd, tag, type, count, {}, true, valueField});
}

PhotoBuilder& PhotoBuilder::ForcePointer(Ifd ifd) {
  forced_[Index(ifd)] = true;
  return *this;
}

PhotoBuilder& PhotoBuilder::OmitPointer(Ifd ifd) {
  omitted_[Index(ifd)] = true;
  return *this;
}

Bytes PhotoBuilder::Tiff() const {
  // Which directories exist: IFD0 always; a sub-directory when it has entries or is forced; the
  // Exif IFD also when the Interoperability IFD needs its pointer.
  bool present[4] = {true, false, false, false};
  for (const Entry& e : entries_) present[Index(e.ifd)] = true;
  for (int i = 1; i < 4; ++i) present[i] = present[i] || forced_[i];
  if (present[Index(Ifd::kInterop)] && !omitted_[Index(Ifd::kInterop)])
    present[Index(Ifd::kExif)] = true;

  // The entries of each directory, pointers last.
  std::vector<Entry> lists[4];
  for (const Entry& e : entries_) lists[Index(e.ifd)].push_back(e);
  auto pointer = [&](Ifd parent, Ifd child, std::uint16_t tag) {
    if (present[Index(child)] && !omitted_[Index(child)]) {
      lists[Index(parent)].push_back({parent, tag, 4, 1, {}, true, 0, true});
    }
  };
  pointer(Ifd::kPrimary, Ifd::kExif, kExifPointer);
  pointer(Ifd::kPrimary, Ifd::kGps, kGpsPointer);
  pointer(Ifd::kExif, Ifd::kInterop, kInteropPointer);

  // Layout: each directory followed by its out-of-line values, every piece at an even offset.
  std::uint32_t directoryOffset[4] = {};
  std::vector<std::uint32_t> valueOffsets[4];
  std::uint32_t cursor = 8;
  for (int i = 0; i < 4; ++i) {
    if (!present[i]) continue;
    directoryOffset[i] = cursor;
    cursor += 2 + 12 * static_cast<std::uint32_t>(lists[i].size()) + 4;
    for (const Entry& e : lists[i]) {
      std::uint32_t offset = 0;
      if (!e.rawField && e.bytes.size() > 4) {
        offset = cursor;
        cursor += static_cast<std::uint32_t>(e.bytes.size() + (e.bytes.size() & 1));
      }
      valueOffsets[i].push_back(offset);
    }
  }

  Bytes out;
  out.reserve(cursor);
  if (order_ == ByteOrder::kMotorola) {
    out.insert(out.end(), {'M', 'M'});
  } else {
    out.insert(out.end(), {'I', 'I'});
  }
  Put16(out, 42);
  Put32(out, 8);
  for (int i = 0; i < 4; ++i) {
    if (!present[i]) continue;
    Put16(out, static_cast<std::uint16_t>(lists[i].size()));
    for (std::size_t k = 0; k < lists[i].size(); ++k) {
      const Entry& e = lists[i][k];
      Put16(out, e.tag);
      Put16(out, e.type);
      Put32(out, e.count);
      if (e.pointer) {
        const Ifd child = e.tag == kExifPointer  ? Ifd::kExif
                          : e.tag == kGpsPointer ? Ifd::kGps
                                                 : Ifd::kInterop;
        Put32(out, directoryOffset[Index(child)]);
      } else if (e.rawField) {
        Put32(out, e.valueField);
      } else if (e.bytes.size() <= 4) {
        // Inline values are left-justified in the field.
        Bytes field = e.bytes;
        field.resize(4, 0);
        out.insert(out.end(), field.begin(), field.end());
      } else {
        Put32(out, valueOffsets[i][k]);
      }
    }
    Put32(out, 0);  // no following directory
    for (const Entry& e : lists[i]) {
      if (e.rawField || e.bytes.size() <= 4) continue;
      out.insert(out.end(), e.bytes.begin(), e.bytes.end());
      if (e.bytes.size() & 1) out.push_back(0);
    }
  }
  return out;
}

Bytes PhotoBuilder::Jpeg(const JpegOptions& options) const {
  Bytes out = {0xFF, 0xD8};
  auto segment = [&out](std::uint8_t marker, const Bytes& data) {
    out.push_back(0xFF);
    out.push_back(marker);
    const std::size_t length = data.size() + 2;
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length));
    out.insert(out.end(), data.begin(), data.end());
  };
  if (options.app0) {
    segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 1, 0, 72, 0, 72, 0, 0});
  }
  out.insert(out.end(), options.segmentsBeforeApp1.begin(), options.segmentsBeforeApp1.end());
  Bytes app1(options.exifIdentifier.begin(), options.exifIdentifier.end());
  const Bytes tiff = Tiff();
  app1.insert(app1.end(), tiff.begin(), tiff.end());
  segment(0xE1, app1);
  // A minimal scan: start of scan for one component, image bytes, end of image.
  segment(0xDA, {1, 1, 0, 0, 63, 0});
  for (std::size_t i = 0; i < options.scanBytes; ++i)
    out.push_back(static_cast<std::uint8_t>(i * 37 + 1));
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

bool WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

PhotoBuilder CameraLikePhoto(ByteOrder order, int variant, std::size_t makerNoteBytes,
                             int orientation) {
  if (orientation == 0) orientation = variant % 2 ? 6 : 1;
  const std::string n = std::to_string(variant);
  const auto v = static_cast<std::uint32_t>(variant);
  const std::string date = "2012:12:" + std::to_string(10 + variant % 18) +
                           " 12:09:" + std::to_string(10 + variant % 50);
  PhotoBuilder photo(order);
  photo.Ascii(Ifd::kPrimary, 0x010E, "                               ")
      .Ascii(Ifd::kPrimary, 0x010F, "NIKON CORPORATION")
      .Ascii(Ifd::kPrimary, 0x0110, "NIKON D7000")
      .Short(Ifd::kPrimary, 0x0112, {static_cast<std::uint16_t>(orientation)})
      .Rational(Ifd::kPrimary, 0x011A, {{300, 1}})
      .Rational(Ifd::kPrimary, 0x011B, {{300, 1}})
      .Short(Ifd::kPrimary, 0x0128, {2})
      .Ascii(Ifd::kPrimary, 0x0131, "Ver.1.0" + n)
      .Ascii(Ifd::kPrimary, 0x0132, date)
      .Ascii(Ifd::kPrimary, 0x013B, "Kim R. Sample")
      .Short(Ifd::kPrimary, 0x0213, {2})
      .Ascii(Ifd::kPrimary, 0x8298, "Copyright 2013 Kim R. Sample");
  photo.Rational(Ifd::kExif, 0x829A, {{10, 600 + v}})
      .Rational(Ifd::kExif, 0x829D, {{71, 10}})
      .Short(Ifd::kExif, 0x8822, {2})
      .Short(Ifd::kExif, 0x8827, {static_cast<std::uint16_t>(100 + variant)})
      .Bytes8(Ifd::kExif, 0x9000, 7, {'0', '2', '3', '0'})
      .Ascii(Ifd::kExif, 0x9003, date)
      .Ascii(Ifd::kExif, 0x9004, date)
      .Bytes8(Ifd::kExif, 0x9101, 7, {1, 2, 3, 0})
      .SRational(Ifd::kExif, 0x9204, {{0, 6}})
      .Rational(Ifd::kExif, 0x9205, {{36, 10}})
      .Short(Ifd::kExif, 0x9207, {5})
      .Short(Ifd::kExif, 0x9208, {0})
      .Short(Ifd::kExif, 0x9209, {16})
      .Rational(Ifd::kExif, 0x920A, {{500, 10}});
  // A maker note that readers which parse maker notes find empty.
  Bytes makerNote(makerNoteBytes, 0);
  photo.Bytes8(Ifd::kExif, 0x927C, 7, std::move(makerNote))
      .Bytes8(Ifd::kExif, 0x9286, 7,
              {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'T', 'r', 'i', 'p', ' ', ' '})
      .Bytes8(Ifd::kExif, 0xA000, 7, {'0', '1', '0', '0'})
      .Short(Ifd::kExif, 0xA001, {1})
      .Long(Ifd::kExif, 0xA002, {4928})
      .Long(Ifd::kExif, 0xA003, {3264})
      .Short(Ifd::kExif, 0xA402, {0})
      .Short(Ifd::kExif, 0xA403, {0})
      .Short(Ifd::kExif, 0xA405, {75})
      .Short(Ifd::kExif, 0xA406, {0});
  photo.Ascii(Ifd::kInterop, 0x0001, "R98").Bytes8(Ifd::kInterop, 0x0002, 7, {'0', '1', '0', '0'});
  return photo;
}

}  // namespace lumatag::photo
