// The exported entry point and the state it keeps for the module's life.
#pragma once

#include <stdint.h>

#include "host/framework/filename.h"
#include "host/framework/module_record.h"

extern "C" KWANTEL_EXPORT int32_t c4d_main(int32_t action, void *p1, void *p2, void *p3);

namespace kwantel {

// Binding actions minus ending actions.
extern int32_t g_initCount;
// The module's own file path as the host passed it; null until the first
// accepted binding and after the end. Lives in a block of the host's allocator.
extern framework::Filename *g_modulePath;

}  // namespace kwantel
