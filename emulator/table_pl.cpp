// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const HostPluginTable *pluginTable() {
  static const HostPluginTable table = [] {
    HostPluginTable t{};
    t.size = sizeof(HostPluginTable);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
