#include "process_memory.h"

#include <cstdio>
#include <cstring>

namespace bench {

ResidentMemory ReadResidentMemory() {
  ResidentMemory memory;
  std::FILE *status = std::fopen("/proc/self/status", "r");
  if (status == nullptr)
    return memory;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    unsigned long long kilobytes = 0;
    if (std::sscanf(line, "VmRSS: %llu kB", &kilobytes) == 1)
      memory.now = kilobytes * 1024;
    else if (std::sscanf(line, "VmHWM: %llu kB", &kilobytes) == 1)
      memory.peak = kilobytes * 1024;
  }
  std::fclose(status);
  return memory;
}

bool ResetResidentPeak() {
  std::FILE *refs = std::fopen("/proc/self/clear_refs", "w");
  if (refs == nullptr)
    return false;
  const bool written = std::fputs("5", refs) >= 0;
  return std::fclose(refs) == 0 && written;
}

}  // namespace bench
