/* t_C4DOS_Bo: objects of a document.
 *
 * Every object passed in is borrowed from its document and must belong to a
 * document that is alive. */
#ifndef KWANTEL_TABLE_BO_H
#define KWANTEL_TABLE_BO_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostObjectTable {
  uint64_t size;
  /* Values relative to the parent; rotation angles in radians. */
  void (*getRelPos)(const HostObject *object, HostVector *out);
  void (*setRelPos)(HostObject *object, const HostVector *value);
  void (*getRelRot)(const HostObject *object, HostVector *out);
  void (*setRelRot)(HostObject *object, const HostVector *value);
  void (*getRelScale)(const HostObject *object, HostVector *out);
  void (*setRelScale)(HostObject *object, const HostVector *value);
  /* Links of the hierarchy; borrowed, null where there is none. */
  HostObject *(*getDown)(const HostObject *object);
  HostObject *(*getNext)(const HostObject *object);
  HostObject *(*getUp)(const HostObject *object);
  bool (*isInstanceOf)(const HostObject *object, int32_t type);
  /* Writable data of the object's tag of tagType (POINT_TAG_TYPE: the
   * points, x y z doubles each). Borrowed until the object changes shape.
   * Null when the object has no such tag or the host does not hand it out. */
  void *(*getTagDataW)(HostObject *object, int32_t tagType, int32_t index);
  /* Number of entries in that tag's data; 0 when there is no such tag. */
  int32_t (*getTagDataCount)(const HostObject *object, int32_t tagType);
  /* Centre of the bounding box, in the coordinates of the points. */
  void (*getMp)(const HostObject *object, HostVector *out);
  /* The object's name: a new string owned by the caller. */
  HostString *(*getName)(const HostObject *object);
  /* Sends message id with data (borrowed, may be null). */
  bool (*message)(HostObject *object, int32_t id, void *data);
} HostObjectTable;

#ifdef __cplusplus
}
#endif

#endif
