// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostBitmapTable *bitmapTable() {
  static const HostBitmapTable table = [] {
    HostBitmapTable t{};
    t.size = sizeof(HostBitmapTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
