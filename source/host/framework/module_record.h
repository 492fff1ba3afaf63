// The records the host's kernel reads from the module before the first call of
// c4d_main, and the kernel interface the host leaves in one of them.
#pragma once

#include "module_info.h"

#if defined(_WIN32)
#define KWANTEL_EXPORT __declspec(dllexport)
#else
#define KWANTEL_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
KWANTEL_EXPORT extern ModuleInfo g_maxon;
KWANTEL_EXPORT extern CpuYieldDelegate g_CpuYieldDelegate;
}

namespace framework {

inline constexpr int kDependencyCount = 9;

// The kernel the host filled into g_maxon; null before that.
inline const KernelInterface *Kernel() {
  return g_maxon.kernel;
}

}  // namespace framework
