// t_C4DOS_Lr: a module's string resource.
#include "fault.h"
#include "filename.h"
#include "host.h"
#include "journal_args.h"
#include "resources.h"
#include "tables.h"

#include <cstdio>

namespace hostemu {
namespace {

HostResource *load(const HostFilename *directory) {
  journalCall("Lr.load", directory ? directory->path.string() : std::string());
  if (directory == nullptr)
    moduleFault("Lr.load", "null directory");
  Resources &resources = Host::current().resources();
  HostResource *resource = resources.load(directory->path);
  if (resource == nullptr && !resources.problem().empty()) {
    std::fprintf(stderr, "hostemu: no resource: %s\n", resources.problem().c_str());
  }
  return resource;
}

void release(HostResource *resource, bool dropData) {
  journalCall("Lr.release", dropData);
  if (resource == nullptr)
    return;
  if (!Host::current().resources().release(resource)) {
    moduleFault("Lr.release", "the resource was not loaded by Lr.load or is gone");
  }
}

const HostString *getString(HostResource *resource, int32_t id) {
  journalCall("Lr.getString", id);
  Resources &resources = Host::current().resources();
  if (!resources.isLive(resource))
    moduleFault("Lr.getString", "the resource was not loaded by Lr.load or is gone");
  return resources.string(resource, id);
}

}  // namespace

const HostResourceTable *resourceTable() {
  static const HostResourceTable table = [] {
    HostResourceTable t{};
    t.size = sizeof(HostResourceTable);
    t.load = load;
    t.release = release;
    t.getString = getString;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
