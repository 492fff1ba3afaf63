#include "point_copy.h"

#include <cstdint>
#include <mutex>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace hostemu {
namespace {

// Below this a copy is cheap however its memory comes.
constexpr size_t kLargeCopyBytes = size_t{16} << 20;

bool isLarge(size_t count) {
  return count * sizeof(HostVector) >= kLargeCopyBytes;
}

// A kept array serves a copy of `count` points only when it wastes no more
// than a tenth of that: an undo record should not hold much more memory than
// its points.
bool serves(const std::vector<HostVector> &kept, size_t count) {
  return kept.capacity() >= count && kept.capacity() - count <= count / 10;
}

// The one released large array the process keeps.
struct Kept {
  std::mutex lock;
  std::vector<HostVector> points;
};

Kept &kept() {
  // Never destroyed: documents that go during the program's exit still
  // release their copies here.
  static Kept *const instance = new Kept;
  return *instance;
}

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

// Memory for a large copy of `count` points: the kept array when it serves,
// else new memory. A kept array that does not serve is given up first.
std::vector<HostVector> largeCopyMemory(size_t count) {
  std::vector<HostVector> memory;
  {
    Kept &k = kept();
    std::lock_guard<std::mutex> hold(k.lock);
    memory.swap(k.points);
  }
  if (serves(memory, count))
    return memory;
  memory = std::vector<HostVector>();
  memory.reserve(count);
  makePresent(memory.data(), count * sizeof(HostVector));
  return memory;
}

}  // namespace

std::vector<HostVector> copyPoints(const std::vector<HostVector> &points) {
  std::vector<HostVector> copy;
  if (isLarge(points.size()))
    copy = largeCopyMemory(points.size());
  copy.assign(points.begin(), points.end());
  return copy;
}

void releasePoints(std::vector<HostVector> &&points) {
  std::vector<HostVector> released = std::move(points);
  if (!isLarge(released.capacity()))
    return;
  Kept &k = kept();
  std::lock_guard<std::mutex> hold(k.lock);
  // The latest released array is the likelier to be still in the caches.
  k.points.swap(released);
}

}  // namespace hostemu
