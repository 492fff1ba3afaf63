// t_C4DOS_St: the host's shared empty string.
#include "host.h"
#include "journal_values.h"
#include "kernel.h"
#include "tables.h"

namespace hostemu {
namespace {

const HostString *getEmpty() {
  journalWhenOn("St.getEmpty", [] { return nlohmann::json::array(); });
  return Host::current().kernel().emptyString();
}

}  // namespace

const HostStringTable *stringTable() {
  static const HostStringTable table = [] {
    HostStringTable t{};
    t.size = sizeof(HostStringTable);
    t.getEmpty = getEmpty;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
