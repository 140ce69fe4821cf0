// lumatag-make-photos DIR [COUNT]: writes COUNT camera-like photos (default 4) into DIR, named
// IMG_0001.JPG and up, and one TIFF, IMG_TIFF.TIF. Each photo shows a painted scene with its
// number (the TIFF shows 0) and carries Exif data with an 8 KiB maker note; the JPEGs alternate
// little- and big-endian Exif data and go through the orientations 1, 6, 3, 8 so that a preview
// shows them upright only when it turns them by their Orientation tag.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "photobuilder/ScenePhoto.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: lumatag-make-photos DIR [COUNT]\n");
    return 2;
  }
  using namespace lumatag::photo;
  const std::string dir = argv[1];
  const int count = argc == 3 ? std::atoi(argv[2]) : 4;
  constexpr int kOrientations[4] = {1, 6, 3, 8};
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    const ByteOrder order = i % 2 ? ByteOrder::kIntel : ByteOrder::kMotorola;
    SceneOptions scene;
    scene.number = i;
    scene.orientation = kOrientations[(i - 1) % 4];
    const Bytes jpeg = SceneJpeg(CameraLikePhoto(order, i, 8192, scene.orientation), scene);
    if (jpeg.empty() || !WriteFile(dir + name, jpeg)) {
      std::fprintf(stderr, "lumatag-make-photos: cannot write %s%s\n", dir.c_str(), name);
      return 1;
    }
  }
  SceneOptions tiffScene;
  tiffScene.width = 600;
  tiffScene.height = 400;
  tiffScene.number = 0;
  if (!WriteFile(dir + "/IMG_TIFF.TIF", SceneTiff(tiffScene))) {
    std::fprintf(stderr, "lumatag-make-photos: cannot write %s/IMG_TIFF.TIF\n", dir.c_str());
    return 1;
  }
  return 0;
}
