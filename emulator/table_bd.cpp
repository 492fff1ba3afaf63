// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostDocumentTable *documentTable() {
  static const HostDocumentTable table = [] {
    HostDocumentTable t{};
    t.size = sizeof(HostDocumentTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
