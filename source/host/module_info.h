/* g_maxon: the record the host's kernel reads from a module before the first
 * call of c4d_main.
 *
 * The module owns the record. Static initialisation in the module fills the
 * identifier and the dependencies; the host then fills `kernel` and nothing
 * else. */
#ifndef KWANTEL_MODULE_INFO_H
#define KWANTEL_MODULE_INFO_H

#include "kernel.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { MODULE_INFO_MAX_DEPENDENCIES = 16 };

typedef struct ModuleInfo {
  int64_t versions[2];     /* the two version numbers the module announces */
  uint64_t size;           /* sizeof(ModuleInfo) as the module knows it */
  const char *identifier;  /* reverse-domain id; null until static init */
  int32_t dependencyCount; /* frameworks the module needs, in order */
  int32_t reserved;
  const char *dependencies[MODULE_INFO_MAX_DEPENDENCIES];
  const KernelInterface *kernel; /* filled by the host; borrowed */
} ModuleInfo;

/* Called by the framework layer's busy-wait loops after a long spin. */
typedef struct CpuYieldDelegate {
  void (*yield)(void);
} CpuYieldDelegate;

/* The exported entry point. */
typedef int32_t (*ModuleMainFunction)(int32_t action, void *p1, void *p2, void *p3);

#ifdef __cplusplus
static_assert(offsetof(ModuleInfo, versions) == 0, "versions open the record");
#endif

#ifdef __cplusplus
}
#endif

#endif
