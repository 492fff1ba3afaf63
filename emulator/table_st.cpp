// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostStringTable *stringTable() {
  static const HostStringTable table = [] {
    HostStringTable t{};
    t.size = sizeof(HostStringTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
