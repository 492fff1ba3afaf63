// One fault put in front of the real module, for testing the validator: the
// module's own c4d_main is renamed (see CMakeLists.txt) and this one passes
// every call on to it, except where the fault chosen by KWANTEL_MISBEHAVE
// steps in. Never shipped.
#undef c4d_main

#include "host/framework/module_record.h"
#include "host_constants.h"
#include "host_record.h"
#include "table_bo.h"

#include <stdint.h>

extern "C" int32_t kwantel_real_main(int32_t action, void *p1, void *p2, void *p3);

#define KWANTEL_LEAK 1
#define KWANTEL_NAN 2
#define KWANTEL_WRONG_CODE 3
#define KWANTEL_CRASH_ON_ROUND 4

namespace {

// The module is handed a copy of the host record whose object table has one
// slot replaced, so the fault sits between the module and the host.
HostRecord g_record;
HostObjectTable g_objects;
const HostObjectTable *g_hostObjects = nullptr;

void setPositionWithNaN(HostObject *object, const HostVector *value) {
  HostVector poisoned = *value;
  poisoned.x = __builtin_nan("");
  g_hostObjects->setRelPos(object, &poisoned);
}

void crashReadingPosition(const HostObject *, HostVector *) {
  __builtin_trap();
}

void *patchRecord(void *p1) {
  const HostRecord *host = static_cast<const HostRecord *>(p1);
  if (host == nullptr)
    return p1;
  g_record = *host;
  g_hostObjects = static_cast<const HostObjectTable *>(host->tables[HOST_TABLE_Bo]);
  g_objects = *g_hostObjects;
#if KWANTEL_MISBEHAVE == KWANTEL_NAN
  g_objects.setRelPos = setPositionWithNaN;
#elif KWANTEL_MISBEHAVE == KWANTEL_CRASH_ON_ROUND
  g_objects.getRelPos = crashReadingPosition;
  g_objects.getRelRot = crashReadingPosition;
  g_objects.getRelScale = crashReadingPosition;
#endif
  g_record.tables[HOST_TABLE_Bo] = &g_objects;
  return &g_record;
}

}  // namespace

extern "C" KWANTEL_EXPORT int32_t c4d_main(int32_t action, void *p1, void *p2, void *p3) {
  (void)setPositionWithNaN;
  (void)crashReadingPosition;
  if (action == HOST_ACTION_BIND)
    p1 = patchRecord(p1);
#if KWANTEL_MISBEHAVE == KWANTEL_WRONG_CODE
  if (action == HOST_ACTION_PROTOCOL)
    return HOST_RESULT_DONE;
#endif
  const int32_t answer = kwantel_real_main(action, p1, p2, p3);
#if KWANTEL_MISBEHAVE == KWANTEL_LEAK
  if (action == HOST_ACTION_START && g_maxon.kernel != nullptr)
    g_maxon.kernel->allocClear(64);
#endif
  return answer;
}
