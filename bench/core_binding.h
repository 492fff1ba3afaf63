// Binds the module's code linked into the bench (kwantel_core) to a host
// record, as the host's kernel and the first binding action would, so that
// the bench can call the module's own functions; unbinds it again.
#pragma once

#include "host/framework/host_tables.h"
#include "host/framework/module_record.h"
#include "tables.h"

namespace bench {

class CoreBinding {
 public:
  explicit CoreBinding(const HostRecord *record) {
    g_maxon.kernel = hostemu::kernelInterface();
    BindHost(record);
  }
  ~CoreBinding() {
#define KWANTEL_BENCH_UNBIND(name) t_C4DOS_##name = nullptr;
    HOST_TABLE_LIST(KWANTEL_BENCH_UNBIND)
#undef KWANTEL_BENCH_UNBIND
    framework::g_hostRecord = nullptr;
    g_maxon.kernel = nullptr;
  }
  CoreBinding(const CoreBinding &) = delete;
  CoreBinding &operator=(const CoreBinding &) = delete;
};

}  // namespace bench
