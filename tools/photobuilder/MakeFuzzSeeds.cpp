// lumatag-make-fuzz-seeds DIR: writes the small JPEG and TIFF files that seed the photo metadata
// fuzz target (fuzz/corpus/photo_metadata).
#include <cstdio>
#include <string>

#include "photobuilder/PhotoBuilder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumatag-make-fuzz-seeds DIR\n");
    return 2;
  }
  using namespace lumatag::photo;
  const std::string dir = argv[1];
  const JpegOptions small = JpegOptions().ScanBytes(4);
  bool ok = true;
  ok &= WriteFile(dir + "/camera-ii.jpg", CameraLikePhoto(ByteOrder::kIntel, 1, 24).Jpeg(small));
  ok &= WriteFile(dir + "/camera-mm.jpg", CameraLikePhoto(ByteOrder::kMotorola, 2, 24).Jpeg(small));
  ok &= WriteFile(dir + "/camera-mm.tif", CameraLikePhoto(ByteOrder::kMotorola, 3, 8).Tiff());

  PhotoBuilder types(ByteOrder::kIntel);
  types.Short(Ifd::kPrimary, 0x0112, {6})
      .SLong(Ifd::kPrimary, 0x9201, {-7, 9})
      .SRational(Ifd::kExif, 0x9204, {{-2147483647 - 1, -1}, {-6, 3}})
      .Rational(Ifd::kExif, 0x829A, {{0, 0}})
      .Rational(Ifd::kExif, 0x829D, {{28, 0}})
      .UnicodeComment(Ifd::kExif, u"Trip")
      .Raw(Ifd::kExif, 0x9999, 11, 1, {0, 0, 0x80, 0x3F})
      .Short(Ifd::kGps, 0x0001, {1})
      .Short(Ifd::kInterop, 0x0001, {1});
  ok &= WriteFile(dir + "/types-app0.jpg", types.Jpeg(JpegOptions().App0().ScanBytes(2)));

  PhotoBuilder unicode(ByteOrder::kMotorola);
  unicode.UnicodeComment(Ifd::kPrimary, u"Caf\u00e9")
      .Ascii(Ifd::kPrimary, 0x0132, "2012:12:28 12:09:32")
      .RawField(Ifd::kPrimary, 0x8769, 4, 1, 8);  // the Exif pointer leads back to IFD0
  ok &= WriteFile(dir + "/loop-mm.tif", unicode.Tiff());
  return ok ? 0 : 1;
}
