/* t_C4DOS_At: arrays of borrowed objects. */
#ifndef KWANTEL_TABLE_AT_H
#define KWANTEL_TABLE_AT_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostObjectArrayTable {
  uint64_t size;
  /* A new empty array owned by the caller until destroy; null when no
   * memory is left. */
  HostObjectArray *(*create)(void);
  void (*destroy)(HostObjectArray *array);
  int32_t (*getCount)(const HostObjectArray *array);
  /* Entry index (0 based), borrowed; null outside the array. */
  HostObject *(*getIndex)(const HostObjectArray *array, int32_t index);
} HostObjectArrayTable;

#ifdef __cplusplus
}
#endif

#endif
