/* t_C4DOS_Lr: a module's string resource. */
#ifndef KWANTEL_TABLE_LR_H
#define KWANTEL_TABLE_LR_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostResourceTable {
  uint64_t size;
  /* Loads the resource files of directory (borrowed). The handle belongs to
   * the module until release. Null when they cannot be read. */
  HostResource *(*load)(const HostFilename *directory);
  /* Gives the handle back; release is true when the host may drop its data. */
  void (*release)(HostResource *resource, bool release);
  /* The string of id. Borrowed: valid until the resource is released. For
   * an id the resource lacks the host answers its empty string. */
  const HostString *(*getString)(HostResource *resource, int32_t id);
} HostResourceTable;

#ifdef __cplusplus
}
#endif

#endif
