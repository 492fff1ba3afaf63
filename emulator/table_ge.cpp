// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostGeneralTable *generalTable() {
  static const HostGeneralTable table = [] {
    HostGeneralTable t{};
    t.size = sizeof(HostGeneralTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
