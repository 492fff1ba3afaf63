/* t_C4DOS_Ge: general services of the host. */
#ifndef KWANTEL_TABLE_GE_H
#define KWANTEL_TABLE_GE_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostGeneralTable {
  uint64_t size;
  /* The document the user works on. Borrowed; null when the host has none. */
  HostDocument *(*getActiveDocument)(void);
  /* Writes host directory `which` (HOST_DIRECTORY_*) into out, a filename the
   * caller created. Returns false when the host has none. */
  bool (*getHostDirectory)(int32_t which, HostFilename *out);
  /* Modal message box; text is borrowed. Returns the button the user chose. */
  int32_t (*messageBox)(int32_t style, const HostString *text);
  /* Opens path (borrowed) with the application the system associates with
   * it. Returns false when nothing could be opened. */
  bool (*openWithSystem)(const HostFilename *path);
  /* Posts a host event (EVENT_*); it is handled after the current command. */
  void (*postEvent)(int32_t event);
  /* The saved plug-in container of pluginId. Borrowed: the host owns it and
   * it stays valid until the next store for the same id. Null when none. */
  const HostContainer *(*getWorldPluginData)(int32_t pluginId);
  /* Stores a copy of data (borrowed) as the saved container of pluginId.
   * add != 0 merges into an existing container. Returns true when stored. */
  bool (*setWorldPluginData)(int32_t pluginId, const HostContainer *data, int32_t add);
} HostGeneralTable;

#ifdef __cplusplus
}
#endif

#endif
