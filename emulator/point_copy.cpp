#include "point_copy.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace hostemu {
namespace {

// Below this a copy is cheap however its memory comes.
constexpr size_t kLargeCopyBytes = size_t{16} << 20;

// Asks the system for the pages of [start, start + bytes) at once. A hint:
// where it is refused (an older kernel, another system) the copy takes the
// pages as it writes them.
void makePresent(void *start, size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(page - 1);
  if (end > first)
    madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)start;
  (void)bytes;
#endif
}

}  // namespace

std::vector<HostVector> copyPoints(const std::vector<HostVector> &points) {
  std::vector<HostVector> copy;
  const size_t bytes = points.size() * sizeof(HostVector);
  if (bytes >= kLargeCopyBytes) {
    copy.reserve(points.size());
    makePresent(copy.data(), bytes);
  }
  copy.assign(points.begin(), points.end());
  return copy;
}

}  // namespace hostemu
