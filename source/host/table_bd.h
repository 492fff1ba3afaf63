/* t_C4DOS_Bd: documents and their undo list. */
#ifndef KWANTEL_TABLE_BD_H
#define KWANTEL_TABLE_BD_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostDocumentTable {
  uint64_t size;
  /* The first top-level object; borrowed, null for an empty document. */
  HostObject *(*getFirstObject)(const HostDocument *document);
  /* Replaces the contents of selection (the caller's) with the selected
   * objects, in tree order. flags is GETACTIVEOBJECTFLAGS_*: with NONE a
   * selected object below another selected object is left out, with CHILDREN
   * every selected object is listed. */
  void (*getActiveObjects)(const HostDocument *document, HostObjectArray *selection, int32_t flags);
  /* Undo records added between startUndo and endUndo form one undo step. */
  bool (*startUndo)(HostDocument *document);
  bool (*endUndo)(HostDocument *document);
  /* Records the state of object (borrowed) as it is now, so call it before
   * the change it covers. type is UNDOTYPE_*. */
  bool (*addUndo)(HostDocument *document, int32_t type, void *object, bool noDelta);
} HostDocumentTable;

#ifdef __cplusplus
}
#endif

#endif
