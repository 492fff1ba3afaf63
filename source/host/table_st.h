/* t_C4DOS_St: host strings beyond the kernel's. */
#ifndef KWANTEL_TABLE_ST_H
#define KWANTEL_TABLE_ST_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostStringTable {
  uint64_t size;
  /* The host's shared empty string. Borrowed; valid while the host runs. */
  const HostString *(*getEmpty)(void);
} HostStringTable;

#ifdef __cplusplus
}
#endif

#endif
