// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostFilenameTable *filenameTable() {
  static const HostFilenameTable table = [] {
    HostFilenameTable t{};
    t.size = sizeof(HostFilenameTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
