// The module's location, its resource directory, its string resource and its
// images.
#pragma once

#include "host/framework/filename.h"
#include "host/framework/host_string.h"

namespace kwantel {

struct ModuleResource {
  HostResource *handle;            // null while none is held
  bool attempted;                  // a load was asked of the host; never cleared
  framework::Filename *directory;  // as computed at the first load; host-allocated
};

extern ModuleResource g_moduleResource;

// The directory holding the module file; empty without a module path.
framework::Filename GetModuleDirectory();
// The resource directory, worked out anew on every call.
framework::Filename GetResourceDirectory();

// Has the host load the resource once; true when a handle is held afterwards.
bool LoadResource(ModuleResource &resource);
// Gives the handle back and drops the stored directory.
void ReleaseResource(ModuleResource &resource);

// The string of `id`, borrowed: valid while the resource is held. Before
// binding the module's own empty string, without a resource the host's.
framework::String GetResourceString(int32_t id);

// An image of the resource directory, owned by the caller (the bitmap table's
// destroy); null when it cannot be loaded.
HostBitmap *LoadResourceImage(const framework::String &name, double ratio);

}  // namespace kwantel
