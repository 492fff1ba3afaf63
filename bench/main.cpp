// kwantel_bench: the figures of the rounding at memory speed, each beside its
// target, and as the last line how many targets hold.
//   kwantel_bench                  every part
//   kwantel_bench size|objects|memory|batch ...   the parts named
//   kwantel_bench --profile size|flat|chain   one press, for a profiler
#include "sections.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

int main(int argc, char **argv) {
  if (argc == 2 && std::strcmp(argv[1], "--memory-child") == 0)
    return bench::MemoryChild();
  if (argc == 3 && std::strcmp(argv[1], "--profile") == 0)
    return bench::ProfilePress(argv[2]);
  auto wanted = [&](const char *part) {
    if (argc == 1)
      return true;
    for (int i = 1; i < argc; ++i) {
      if (std::strcmp(argv[i], part) == 0)
        return true;
    }
    return false;
  };
  bench::Report report;
  std::printf("kwantel_bench: times are the processor time of the measuring thread, the fastest of a few runs\n");
  std::printf("load average at the start: %s\n", bench::LoadAverage().c_str());
  if (wanted("size"))
    bench::SizePassBench(report);
  if (wanted("objects"))
    bench::ManyObjectsBench(report);
  if (wanted("memory"))
    bench::MemoryBench(report, std::filesystem::read_symlink("/proc/self/exe").string());
  if (wanted("batch"))
    bench::BatchBench(report);
  std::printf("\nload average at the end: %s\n", bench::LoadAverage().c_str());
  report.finish();
  return 0;
}
