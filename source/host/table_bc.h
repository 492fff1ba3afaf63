/* t_C4DOS_Bc: containers of typed values under 32-bit keys. */
#ifndef KWANTEL_TABLE_BC_H
#define KWANTEL_TABLE_BC_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostContainerTable {
  uint64_t size;
  /* A new empty container with the given id, owned by the caller until
   * destroy. Null when no memory is left. */
  HostContainer *(*create)(int32_t id);
  void (*destroy)(HostContainer *container);
  int32_t (*getId)(const HostContainer *container);
  /* Setters replace whatever the key held, of any type. */
  void (*setBool)(HostContainer *container, int32_t key, bool value);
  void (*setFloat)(HostContainer *container, int32_t key, double value);
  void (*setInt32)(HostContainer *container, int32_t key, int32_t value);
  /* Getters answer fallback when the key is missing or holds another type. */
  bool (*getBool)(const HostContainer *container, int32_t key, bool fallback);
  double (*getFloat)(const HostContainer *container, int32_t key, double fallback);
  int32_t (*getInt32)(const HostContainer *container, int32_t key, int32_t fallback);
} HostContainerTable;

#ifdef __cplusplus
}
#endif

#endif
