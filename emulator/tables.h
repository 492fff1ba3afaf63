// The emulator's service tables, one per file (table_*.cpp). Each returns a
// table that lives as long as the process; its slots find the host through
// Host::current(). Tables the emulator gives no slots are bare headers.
#pragma once

#include "host_api.h"

namespace hostemu {

const KernelInterface *kernelInterface();
const HostGeneralTable *generalTable();
const HostStringTable *stringTable();
const HostContainerTable *containerTable();
const HostBitmapTable *bitmapTable();
const HostFilenameTable *filenameTable();
const HostResourceTable *resourceTable();
const HostObjectTable *objectTable();
const HostDocumentTable *documentTable();
const HostObjectArrayTable *objectArrayTable();
const HostPluginTable *pluginTable();
const HostDialogTable *dialogTable();

}  // namespace hostemu
