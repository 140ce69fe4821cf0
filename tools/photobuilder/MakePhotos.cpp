// lumatag-make-photos DIR [COUNT]: writes COUNT camera-like photos (default 4; an 8 KiB maker note,
// 64 KiB of image data) into DIR, named
// IMG_0001.JPG and up, alternating little- and big-endian Exif data, and one TIFF, IMG_TIFF.TIF.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "photobuilder/PhotoBuilder.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: lumatag-make-photos DIR [COUNT]\n");
    return 2;
  }
  using namespace lumatag::photo;
  const std::string dir = argv[1];
  const int count = argc == 3 ? std::atoi(argv[2]) : 4;
  JpegOptions options;
  options.scanBytes = 64 * 1024;
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    const ByteOrder order = i % 2 ? ByteOrder::kIntel : ByteOrder::kMotorola;
    if (!WriteFile(dir + name, CameraLikePhoto(order, i, 8192).Jpeg(options))) {
      std::fprintf(stderr, "lumatag-make-photos: cannot write %s%s\n", dir.c_str(), name);
      return 1;
    }
  }
  if (!WriteFile(dir + "/IMG_TIFF.TIF", CameraLikePhoto(ByteOrder::kMotorola, 0).Tiff())) {
    std::fprintf(stderr, "lumatag-make-photos: cannot write %s/IMG_TIFF.TIF\n", dir.c_str());
    return 1;
  }
  return 0;
}
