// Binds the module's code linked into a unit test (kwantel_core) to an
// emulated host, as the host's kernel and the first binding action would, and
// unbinds it again. Only for *_unit_test.cpp files: it names module symbols.
#pragma once

#include <string>
#include <vector>

#include "host.h"
#include "host/framework/host_tables.h"
#include "host/framework/module_record.h"
#include "journal.h"
#include "tables.h"

// Back to the state before the kernel and the binding: no tables, no kernel.
inline void UnbindCore() {
#define KWANTEL_TEST_UNBIND(name) t_C4DOS_##name = nullptr;
  HOST_TABLE_LIST(KWANTEL_TEST_UNBIND)
#undef KWANTEL_TEST_UNBIND
  framework::g_hostRecord = nullptr;
  g_maxon.kernel = nullptr;
}

class CoreBinding {
 public:
  explicit CoreBinding(hostemu::Host &host) {
    g_maxon.kernel = hostemu::kernelInterface();
    BindHost(host.record());
  }
  ~CoreBinding() { UnbindCore(); }
  CoreBinding(const CoreBinding &) = delete;
  CoreBinding &operator=(const CoreBinding &) = delete;
};

// The services of the journal whose name starts with one of `prefixes`, in
// order ("Bo.set" matches Bo.setRelPos, ...).
inline std::vector<std::string> JournalServices(const hostemu::Journal &journal,
                                                const std::vector<std::string> &prefixes) {
  std::vector<std::string> services;
  for (const hostemu::JournalEntry &entry : journal.entries()) {
    for (const std::string &prefix : prefixes) {
      if (entry.service.rfind(prefix, 0) == 0) {
        services.push_back(entry.service);
        break;
      }
    }
  }
  return services;
}

// The first argument of every journal entry of `service`, as text: for the
// object services, the path of the object.
inline std::vector<std::string> JournalFirstArguments(const hostemu::Journal &journal, const std::string &service) {
  std::vector<std::string> arguments;
  for (const hostemu::JournalEntry &entry : journal.entries()) {
    if (entry.service == service && !entry.args.empty()) {
      arguments.push_back(entry.args[0].is_string() ? entry.args[0].get<std::string>() : entry.args[0].dump());
    }
  }
  return arguments;
}
