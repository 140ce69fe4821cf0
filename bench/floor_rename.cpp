// floor_rename DIR: the least a batch rename can do — the scan floor (list DIR, open, read 4 KiB,
// close each regular file) followed by one renameat2(RENAME_NOREPLACE) per file, relative to the
// open folder. Prints the number of files renamed.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: floor_rename DIR\n");
    return 2;
  }
  DIR* dir = opendir(argv[1]);
  if (dir == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const int folder = dirfd(dir);
  static char buffer[4096];
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_type != DT_REG) continue;
    const int fd = openat(folder, entry->d_name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    if (read(fd, buffer, sizeof buffer) > 0) names.emplace_back(entry->d_name);
    close(fd);
  }
  long renamed = 0;
  for (const std::string& name : names) {
    const std::string target = "R_" + name;
    if (renameat2(folder, name.c_str(), folder, target.c_str(), RENAME_NOREPLACE) == 0) ++renamed;
  }
  closedir(dir);
  std::printf("%ld\n", renamed);
  return 0;
}
