/* t_C4DOS_Fn: file names. */
#ifndef KWANTEL_TABLE_FN_H
#define KWANTEL_TABLE_FN_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostFilenameTable {
  uint64_t size;
  /* A new empty filename owned by the caller until destroy; null when no
   * memory is left. */
  HostFilename *(*create)(void);
  void (*destroy)(HostFilename *name);
  void (*copy)(HostFilename *destination, const HostFilename *source);
  /* Writes into out (which may be name itself) the directory holding name;
   * empty for a bare name. */
  void (*getDirectory)(const HostFilename *name, HostFilename *out);
  /* Writes into out (which may be directory itself) directory joined with
   * the component (borrowed). Joining to an empty filename gives the bare
   * component. */
  void (*join)(const HostFilename *directory, const HostString *component, HostFilename *out);
  /* The last component, with its extension removed when stripExtension.
   * A new string owned by the caller. */
  HostString *(*getFileName)(const HostFilename *name, bool stripExtension);
  /* The host's comparison of two file names. */
  bool (*equals)(const HostFilename *left, const HostFilename *right);
  bool (*isEmpty)(const HostFilename *name);
} HostFilenameTable;

#ifdef __cplusplus
}
#endif

#endif
