// t_C4DOS_At: arrays of borrowed objects, kept in the kernel's account.
#include "journal_values.h"
#include "kernel.h"
#include "tables.h"

#include <limits>

namespace hostemu {
namespace {

Kernel &kernel() {
  return Host::current().kernel();
}

HostObjectArray *create() {
  journalWhenOn("At.create", [] { return nlohmann::json::array(); });
  return kernel().newObjectArray();
}

void destroy(HostObjectArray *array) {
  journalWhenOn("At.destroy", [&] { return nlohmann::json::array({jsonArray(array)}); });
  kernel().destroyObjectArray(array);
}

int32_t getCount(const HostObjectArray *array) {
  journalWhenOn("At.getCount", [&] { return nlohmann::json::array({jsonArray(array)}); });
  kernel().requireObjectArray(array, "At.getCount");
  // The selection of a document is far below this limit; it only keeps the
  // count from wrapping.
  constexpr size_t most = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(array->entries.size() < most ? array->entries.size() : most);
}

HostObject *getIndex(const HostObjectArray *array, int32_t index) {
  journalWhenOn("At.getIndex", [&] { return nlohmann::json::array({jsonArray(array), index}); });
  kernel().requireObjectArray(array, "At.getIndex");
  if (index < 0 || static_cast<size_t>(index) >= array->entries.size())
    return nullptr;
  return array->entries[static_cast<size_t>(index)];
}

}  // namespace

const HostObjectArrayTable *objectArrayTable() {
  static const HostObjectArrayTable table = [] {
    HostObjectArrayTable t{};
    t.size = sizeof(HostObjectArrayTable);
    t.create = create;
    t.destroy = destroy;
    t.getCount = getCount;
    t.getIndex = getIndex;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
