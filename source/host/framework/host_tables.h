// The 37 service tables of the host record, one global each, and the binding
// that fills them.
#pragma once

#include "host_api.h"

namespace framework {

// The struct type of table `index`; tables the module never calls are a bare
// header.
template <int index>
struct HostTableType {
  using Type = HostTableHeader;
};
template <>
struct HostTableType<HOST_TABLE_Ge> {
  using Type = HostGeneralTable;
};
template <>
struct HostTableType<HOST_TABLE_St> {
  using Type = HostStringTable;
};
template <>
struct HostTableType<HOST_TABLE_Bc> {
  using Type = HostContainerTable;
};
template <>
struct HostTableType<HOST_TABLE_Bm> {
  using Type = HostBitmapTable;
};
template <>
struct HostTableType<HOST_TABLE_Fn> {
  using Type = HostFilenameTable;
};
template <>
struct HostTableType<HOST_TABLE_Lr> {
  using Type = HostResourceTable;
};
template <>
struct HostTableType<HOST_TABLE_Bo> {
  using Type = HostObjectTable;
};
template <>
struct HostTableType<HOST_TABLE_Bd> {
  using Type = HostDocumentTable;
};
template <>
struct HostTableType<HOST_TABLE_At> {
  using Type = HostObjectArrayTable;
};
template <>
struct HostTableType<HOST_TABLE_Pl> {
  using Type = HostPluginTable;
};
template <>
struct HostTableType<HOST_TABLE_Gd> {
  using Type = HostDialogTable;
};

// The record passed with the first binding; null until then.
extern const HostRecord *g_hostRecord;

// The text of the diagnostic for a null table.
const char *NullTableAssertionText();

}  // namespace framework

#define KWANTEL_DECLARE_TABLE(name) extern const framework::HostTableType<HOST_TABLE_##name>::Type *t_C4DOS_##name;
HOST_TABLE_LIST(KWANTEL_DECLARE_TABLE)
#undef KWANTEL_DECLARE_TABLE

// Keeps `record` and copies its 37 table pointers in record order. A null
// table, or a null record, gets the assertion diagnostic and binding carries
// on. Returns the record's version (0 without a record).
int32_t BindHost(const HostRecord *record);
