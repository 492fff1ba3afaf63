// Copies of point arrays for undo records.
#pragma once

#include "host_types.h"

#include <vector>

namespace hostemu {

// The same points in new memory. A large copy has its memory made present in
// one request before the points go in: taken one page fault at a time, fresh
// memory costs several times the copying itself.
std::vector<HostVector> copyPoints(const std::vector<HostVector> &points);

}  // namespace hostemu
