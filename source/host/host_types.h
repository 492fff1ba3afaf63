/* Types that cross the boundary between the host and a module.
 *
 * Only C types cross: fixed-width integers, double, plain structs, pointers
 * and function pointers, so that a module built by one compiler runs in a host
 * built by another. Every handle below is opaque to the module: the host
 * decides what it points to. */
#ifndef KWANTEL_HOST_TYPES_H
#define KWANTEL_HOST_TYPES_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Three components in the order x, y, z. */
typedef struct HostVector {
  double x;
  double y;
  double z;
} HostVector;

typedef struct HostString HostString;           /* reference-counted text */
typedef struct HostFilename HostFilename;       /* a file system path */
typedef struct HostContainer HostContainer;     /* typed values under int keys */
typedef struct HostBitmap HostBitmap;           /* a decoded image */
typedef struct HostResource HostResource;       /* a loaded string resource */
typedef struct HostObject HostObject;           /* an object of a document */
typedef struct HostDocument HostDocument;       /* a scene with its undo list */
typedef struct HostObjectArray HostObjectArray; /* a list of borrowed objects */
typedef struct HostDialog HostDialog;           /* the host side of a dialog */
typedef struct HostLogger HostLogger;           /* a console channel */

/* A destructor the host runs on a block the module allocated, just before the
 * host releases the block itself. */
typedef void (*HostDestructor)(void *block);

#ifdef __cplusplus
}
#endif

#endif
