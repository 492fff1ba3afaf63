// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostResourceTable *resourceTable() {
  static const HostResourceTable table = [] {
    HostResourceTable t{};
    t.size = sizeof(HostResourceTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
