// measure RESULT COMMAND [ARGUMENTS...]: runs the command (its output to /dev/null, its errors
// kept) and writes "WALL_NS CPU_NS MAXRSS_KIB EXIT" to the file RESULT: the elapsed time, user plus
// system time and the largest resident set of the command alone. CPU time stays meaningful on a
// machine that other work shares; the elapsed time does not.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: measure RESULT COMMAND [ARGUMENTS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return 1;
  const auto wall = std::chrono::steady_clock::now() - start;
  const auto ns = [](const timeval& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_usec * 1000LL;
  };
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) return 1;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::fprintf(out, "%lld %lld %ld %d\n",
               static_cast<long long>(std::chrono::nanoseconds(wall).count()),
               ns(usage.ru_utime) + ns(usage.ru_stime), usage.ru_maxrss, code);
  std::fclose(out);
  return code;
}
