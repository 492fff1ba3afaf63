#include "parallel.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace hostemu {

size_t usableCores() {
  return std::min(8u, std::max(1u, std::thread::hardware_concurrency()));
}

void runParts(size_t count, const std::function<void(size_t)> &part) {
  std::vector<std::thread> helpers;
  size_t started = 1;
  try {
    for (; started < count; ++started)
      helpers.emplace_back(part, started);
  } catch (const std::system_error &) {
  }
  if (count > 0)
    part(0);
  for (size_t i = started; i < count; ++i)
    part(i);
  for (std::thread &helper : helpers)
    helper.join();
}

}  // namespace hostemu
