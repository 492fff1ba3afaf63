// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostDialogTable *dialogTable() {
  static const HostDialogTable table = [] {
    HostDialogTable t{};
    t.size = sizeof(HostDialogTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
