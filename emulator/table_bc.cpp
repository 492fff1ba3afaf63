// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostContainerTable *containerTable() {
  static const HostContainerTable table = [] {
    HostContainerTable t{};
    t.size = sizeof(HostContainerTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
