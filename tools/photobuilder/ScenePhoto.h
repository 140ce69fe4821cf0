// Photos with real pixels for demos, previews and benchmarks: a painted scene (sky, ground, sun,
// a large number and an arrow that points up) that a person recognises at a glance, written as a
// JPEG or an uncompressed TIFF that carries the photo builder's Exif data.
//
// The pixels are stored the way a camera stores them: turned so that a viewer which applies the
// Orientation tag shows the scene upright. A preview that ignores or misreads the tag shows the
// scene on its side or mirrored, which the number and the arrow make easy to see.
#pragma once

#include <QImage>
#include <string>

#include "photobuilder/PhotoBuilder.h"

namespace lumatag::photo {

struct SceneOptions {
  int width = 1200;  // the upright scene, as a viewer shows it
  int height = 800;
  int number = 1;       // the large number painted in the middle (0 to 9999)
  int orientation = 1;  // the Orientation tag value the pixels are stored for (1 to 8)
  int noise = 0;        // amplitude of per-pixel grain (0 to 64); grain makes realistic file sizes
  int quality = 90;     // JPEG quality
};

// The upright scene.
QImage PaintScene(const SceneOptions& options);
// The stored pixels for an upright image and an Orientation value: the inverse of the turn and
// mirror that a viewer applies. Values outside 1 to 8 store the image as it is.
QImage StoredPixels(const QImage& upright, int orientation);

// A JPEG of the stored pixels whose APP1 segment is the Exif data of `exif`, right after the start
// of image. `exif` should carry the same Orientation value as `options`.
Bytes SceneJpeg(const PhotoBuilder& exif, const SceneOptions& options);
// An uncompressed RGB TIFF of the stored pixels with make, model, orientation, resolution and the
// picture-taken date in its directories.
Bytes SceneTiff(const SceneOptions& options, const std::string& make = "NIKON CORPORATION",
                const std::string& model = "NIKON D7000",
                const std::string& dateTaken = "2012:12:28 12:09:32");

}  // namespace lumatag::photo
