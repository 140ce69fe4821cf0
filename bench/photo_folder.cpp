// The benchmark's photo folders.
//   photo_folder make DIR COUNT: writes COUNT camera-like JPEG photos IMG_0001.JPG and up into DIR
//     (each the same generated camera JPEG as lumatag-make-photos writes, with 4 KiB of image data
//     instead of 64 KiB, so that 100,000 of them fit in the page cache comfortably).
//   photo_folder drop DIR: drops the cached pages of every file in DIR
//     (posix_fadvise POSIX_FADV_DONTNEED), so that the next run reads them cold.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "photobuilder/PhotoBuilder.h"

namespace {

int Make(const std::string& dir, int count) {
  using namespace lumatag::photo;
  JpegOptions options;
  options.scanBytes = 4096;
  // The photos repeat after 450 variants (dates, byte order); build each variant once.
  std::map<int, Bytes> made;
  for (int i = 1; i <= count; ++i) {
    const int variant = (i - 1) % 450 + 1;
    auto found = made.find(variant);
    if (found == made.end()) {
      const ByteOrder order = variant % 2 ? ByteOrder::kIntel : ByteOrder::kMotorola;
      found = made.emplace(variant, CameraLikePhoto(order, variant, 8192).Jpeg(options)).first;
    }
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%04d.JPG", i);
    if (!WriteFile(dir + name, found->second)) {
      std::fprintf(stderr, "photo_folder: cannot write %s%s\n", dir.c_str(), name);
      return 1;
    }
  }
  return 0;
}

int Drop(const char* path) {
  DIR* dir = opendir(path);
  if (dir == nullptr) {
    std::perror(path);
    return 1;
  }
  const int folder = dirfd(dir);
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_type != DT_REG) continue;
    const int fd = openat(folder, entry->d_name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    close(fd);
  }
  closedir(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "make") == 0) return Make(argv[2], std::atoi(argv[3]));
  if (argc == 3 && std::strcmp(argv[1], "drop") == 0) return Drop(argv[2]);
  std::fprintf(stderr, "usage: photo_folder make DIR COUNT | photo_folder drop DIR\n");
  return 2;
}
