// floor_scan DIR: the least a scan can do — list DIR and open, read 4 KiB from and close each
// regular file, relative to the open folder. Prints the number of files read.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: floor_scan DIR\n");
    return 2;
  }
  DIR* dir = opendir(argv[1]);
  if (dir == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const int folder = dirfd(dir);
  static char buffer[4096];
  long files = 0;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_type != DT_REG) continue;
    const int fd = openat(folder, entry->d_name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    if (read(fd, buffer, sizeof buffer) > 0) ++files;
    close(fd);
  }
  closedir(dir);
  std::printf("%ld\n", files);
  return 0;
}
