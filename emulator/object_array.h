// Object arrays as the emulator keeps them: borrowed objects in order.
#pragma once

#include "host_types.h"

#include <cstdint>
#include <vector>

struct HostObjectArray {
  uint64_t serial = 0;  // names the array in the journal ("array#N")
  std::vector<HostObject *> entries;
};
