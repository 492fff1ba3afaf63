// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostObjectArrayTable *objectArrayTable() {
  static const HostObjectArrayTable table = [] {
    HostObjectArrayTable t{};
    t.size = sizeof(HostObjectArrayTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
