/* The record the host passes with the first binding action.
 *
 * Owner: the host, for as long as the module is loaded; the module only reads
 * it. The version sits at byte 0, four unread bytes follow, then the 37 table
 * pointers at byte 8 + 8 * i. */
#ifndef KWANTEL_HOST_RECORD_H
#define KWANTEL_HOST_RECORD_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Table indices, in record order. The two letters name the table. */
// clang-format off
#define HOST_TABLE_LIST(X) \
  X(Ge) X(Sh) X(Hf) X(Bc) X(St) X(Bm) X(Ms) X(Ba) X(Fn) X(Fl) X(Bf) X(Cd) X(Cu) X(Pr) X(Lr) X(Bl) X(Tg) X(Bo) X(Bd) \
  X(Bt) X(Mt) X(Tx) X(Bs) X(Bu) X(Br) X(Bv) X(Nb) X(Pl) X(Fi) X(Pa) X(Ln) X(Gv) X(Gd) X(At) X(CA) X(Ne) X(FL)
// clang-format on

#define HOST_TABLE_INDEX_ENTRY(name) HOST_TABLE_##name,
enum { HOST_TABLE_LIST(HOST_TABLE_INDEX_ENTRY) HOST_TABLE_COUNT };
#undef HOST_TABLE_INDEX_ENTRY

typedef struct HostRecord {
  int32_t version;
  uint8_t unread[4];
  const void *tables[HOST_TABLE_COUNT];
} HostRecord;

/* Every table starts with its size in bytes, so that a slot added at the end
 * can be detected by the module. A table that the module does not call is
 * just this header. */
typedef struct HostTableHeader {
  uint64_t size;
} HostTableHeader;

#ifdef __cplusplus
static_assert(HOST_TABLE_COUNT == 37, "the host record has 37 tables");
static_assert(offsetof(HostRecord, tables) == 8, "tables start at byte 8");
static_assert(sizeof(void *) == 8, "the host record is laid out for 64-bit targets");
#endif

#ifdef __cplusplus
}
#endif

#endif
