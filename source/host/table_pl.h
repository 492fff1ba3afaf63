/* t_C4DOS_Pl: plug-in registration. */
#ifndef KWANTEL_TABLE_PL_H
#define KWANTEL_TABLE_PL_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostPluginTable {
  uint64_t size;
  /* Registers plug-in id of type (PLUGINTYPE_*). name is borrowed and copied.
   * block describes the plug-in (for a command: CommandRegistration, see
   * registration.h) and is copied; what it points to passes to the host on
   * success. The caller keeps its icon: the host takes a copy. Returns false
   * when refused; then nothing passes to the host. */
  bool (*registerPlugin)(int32_t apiVersion, int32_t type, int32_t id, const HostString *name, const void *block,
                         int32_t blockSize);
} HostPluginTable;

#ifdef __cplusplus
}
#endif

#endif
