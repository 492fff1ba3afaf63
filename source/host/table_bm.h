/* t_C4DOS_Bm: bitmaps. */
#ifndef KWANTEL_TABLE_BM_H
#define KWANTEL_TABLE_BM_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostBitmapTable {
  uint64_t size;
  /* A new empty bitmap owned by the caller until destroy (or until it is
   * handed over in a registration, which copies it). Null when none. */
  HostBitmap *(*create)(void);
  void (*destroy)(HostBitmap *bitmap);
  /* Decodes the image file at path (borrowed) into bitmap; frame -1 takes the
   * first; extra must be null. Returns an IMAGERESULT_* value. */
  int32_t (*loadFile)(HostBitmap *bitmap, const HostFilename *path, int32_t frame, void *extra);
  /* Sets property id to the value at data, of host data type dataType
   * (HOST_DATATYPE_FLOAT: a double). Returns false for an unknown property. */
  bool (*setData)(HostBitmap *bitmap, int32_t id, int32_t dataType, const void *data);
} HostBitmapTable;

#ifdef __cplusplus
}
#endif

#endif
