// Work in parts on all cores: a large scene is read and formatted so.
#pragma once

#include <cstddef>
#include <functional>

namespace hostemu {

// The threads worth running at once: the cores, at least one, at most eight.
size_t usableCores();

// Runs part(i) for every i below count and returns when all are done: part 0
// on this thread, the others on threads of their own. A part no thread could
// be made for runs on this thread after part 0; fewer threads only make it
// slower.
void runParts(size_t count, const std::function<void(size_t)> &part);

}  // namespace hostemu
