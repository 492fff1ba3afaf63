// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostObjectTable *objectTable() {
  static const HostObjectTable table = [] {
    HostObjectTable t{};
    t.size = sizeof(HostObjectTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
