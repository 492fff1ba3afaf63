#include "entry.h"

#include "host/framework/host_tables.h"
#include "ids.h"
#include "main.h"
#include "resource.h"

namespace kwantel {

int32_t g_initCount = 0;
framework::Filename *g_modulePath = nullptr;

namespace {

int32_t Bind(const HostRecord *record, const HostFilename *modulePath) {
  g_initCount += 1;
  if (g_initCount != 1) {
    return HOST_RESULT_DONE;
  }
  const int32_t version = BindHost(record);
  if (version < API_VERSION || modulePath == nullptr) {
    return HOST_RESULT_REFUSED;
  }
  const KernelInterface *kernel = framework::Kernel();
  void *block = kernel != nullptr ? kernel->allocClear(sizeof(framework::Filename)) : nullptr;
  // Without memory the module goes on with no path: its directory is empty.
  if (block != nullptr) {
    g_modulePath = KWANTEL_PLACE(block) framework::Filename();
    g_modulePath->CopyFrom(modulePath);
  }
  return HOST_RESULT_DONE;
}

int32_t End() {
  g_initCount -= 1;
  if (g_initCount != 0) {
    return HOST_RESULT_DONE;
  }
  ModuleEnd();
  ReleaseResource(g_moduleResource);
  if (g_modulePath != nullptr) {
    framework::Kernel()->privateFreeWithDestructor(g_modulePath, &framework::Filename::DestroyInBlock);
    g_modulePath = nullptr;
  }
  return HOST_RESULT_DONE;
}

}  // namespace
}  // namespace kwantel

extern "C" KWANTEL_EXPORT int32_t c4d_main(int32_t action, void *p1, void *p2, void *p3) {
  using namespace kwantel;
  switch (action) {
    case HOST_ACTION_BIND:
      return Bind(static_cast<const HostRecord *>(p1), static_cast<const HostFilename *>(p3));
    case HOST_ACTION_START:
      return ModuleStart() ? HOST_RESULT_DONE : HOST_RESULT_FAILED;
    case HOST_ACTION_END:
      return End();
    case HOST_ACTION_PROTOCOL:
      return HOST_PROTOCOL_NUMBER;
    case HOST_ACTION_MESSAGE: {
      // The message id travels in the low 32 bits of p1.
      const int32_t id = static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p1)));
      return ModuleMessage(id, p2) ? HOST_RESULT_DONE : HOST_RESULT_NOT_HANDLED;
    }
    default:
      return HOST_RESULT_NOT_HANDLED;
  }
}
