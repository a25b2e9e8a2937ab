// measure: runs a command repeatedly with standard input from a file and
// standard output to a file, and prints the median wall time, the median
// peak resident set size and the median CPU time (user and system).
//
//   measure RUNS INPUT OUTPUT COMMAND [ARG...]
//   -> "<seconds> <peak RSS KiB> <CPU seconds>"
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  // RUNS is a whole number from 1 to 1000: the median needs at least one run.
  char* rest = nullptr;
  const long runs = argc < 5 ? 0 : std::strtol(argv[1], &rest, 10);
  if (runs < 1 || runs > 1000 || *rest != '\0') {
    std::fputs("usage: measure RUNS INPUT OUTPUT COMMAND [ARG...]  (RUNS from 1 to 1000)\n",
               stderr);
    return 2;
  }
  std::vector<double> seconds, cpu_seconds;
  std::vector<long> rss;
  for (long run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      const int in = open(argv[2], O_RDONLY);
      const int out = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || out < 0) _exit(126);
      dup2(in, 0);
      dup2(out, 1);
      execvp(argv[4], argv + 4);
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "measure: %s failed (status %d)\n", argv[4], status);
      return 1;
    }
    seconds.push_back(std::chrono::duration<double>(end - start).count());
    rss.push_back(usage.ru_maxrss);
    cpu_seconds.push_back(static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                          static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) /
                              1e6);
  }
  std::sort(seconds.begin(), seconds.end());
  std::sort(rss.begin(), rss.end());
  std::sort(cpu_seconds.begin(), cpu_seconds.end());
  std::printf("%.4f %ld %.4f\n", seconds[seconds.size() / 2], rss[rss.size() / 2],
              cpu_seconds[cpu_seconds.size() / 2]);
  return 0;
}
