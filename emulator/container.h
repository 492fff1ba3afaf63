// Host containers as the emulator keeps them: typed values under int keys.
#pragma once

#include "host_types.h"

#include <cstdint>
#include <map>
#include <variant>

namespace hostemu {

// Each key holds exactly one value, of one of the three types.
using ContainerValue = std::variant<bool, double, int32_t>;

}  // namespace hostemu

struct HostContainer {
  int32_t id = 0;
  std::map<int32_t, hostemu::ContainerValue> values;  // ordered, so files and journals come out stable

  bool operator==(const HostContainer &) const = default;
};

namespace hostemu {

// Containers the module created through Bc.create and has not destroyed.
uint64_t liveContainers();

}  // namespace hostemu
