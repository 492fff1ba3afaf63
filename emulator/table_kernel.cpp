// Placeholder, replaced by the real table.
#include "tables.h"

namespace hostemu {

const KernelInterface *kernelInterface() {
  static const KernelInterface table = [] {
    KernelInterface t{};
    t.size = sizeof(KernelInterface);
    return t;
  }();
  return &table;
}

}  // namespace hostemu
