#include "resource.h"

#include "entry.h"
#include "host/framework/host_tables.h"

namespace kwantel {

using framework::Filename;
using framework::String;

ModuleResource g_moduleResource = {nullptr, false, nullptr};

namespace {

// Releases at unload whatever the end of the module left held.
struct ResourceReleaseAtUnload {
  ~ResourceReleaseAtUnload() { ReleaseResource(g_moduleResource); }
} g_releaseAtUnload;

// The host's core-libraries directory; empty when the host has none.
bool CoreLibrariesDirectory(Filename &out) {
  const KernelInterface *kernel = framework::Kernel();
  if (kernel == nullptr || out.Get() == nullptr) {
    return false;
  }
  return kernel->privateGetUrl(APPLICATION_URLTYPE_CORELIBS_DIR, "net.maxon.c4d.cinema.framework", &g_maxon, out.Get());
}

void FreeFilenameBlock(Filename *&name) {
  const KernelInterface *kernel = framework::Kernel();
  if (name != nullptr && kernel != nullptr) {
    kernel->privateFreeWithDestructor(name, &Filename::DestroyInBlock);
  }
  name = nullptr;
}

}  // namespace

Filename GetModuleDirectory() {
  if (g_modulePath == nullptr) {
    return Filename();
  }
  return g_modulePath->Directory();
}

Filename GetResourceDirectory() {
  Filename coreLibraries;
  const bool hostHasCoreLibraries = CoreLibrariesDirectory(coreLibraries);
  if (g_modulePath != nullptr && hostHasCoreLibraries && GetModuleDirectory().Equals(coreLibraries)) {
    // One of the host's own modules: its resources live with the host's.
    Filename hostDirectory;
    if (t_C4DOS_Ge != nullptr && hostDirectory.Get() != nullptr) {
      t_C4DOS_Ge->getHostDirectory(HOST_DIRECTORY_STARTUP, hostDirectory.Get());
    }
    return hostDirectory.Join(String::Literal("resource"))
        .Join(String::Literal("modules"))
        .Join(g_modulePath->FileName(true));
  }
  return GetModuleDirectory().Join(String::Literal("res"));
}

bool LoadResource(ModuleResource &resource) {
  const Filename directory = GetResourceDirectory();
  if (resource.directory == nullptr) {
    const KernelInterface *kernel = framework::Kernel();
    void *block = kernel != nullptr ? kernel->allocClear(sizeof(Filename)) : nullptr;
    if (block == nullptr) {
      return false;
    }
    resource.directory = KWANTEL_PLACE(block) Filename(directory);
  }
  if (resource.attempted) {
    return resource.handle != nullptr;
  }
  if (t_C4DOS_Lr != nullptr && directory.Get() != nullptr) {
    resource.handle = t_C4DOS_Lr->load(directory.Get());
  }
  resource.attempted = true;
  return resource.handle != nullptr;
}

void ReleaseResource(ModuleResource &resource) {
  if (resource.handle != nullptr) {
    if (t_C4DOS_Lr != nullptr) {
      t_C4DOS_Lr->release(resource.handle, true);
    }
    resource.handle = nullptr;
  }
  FreeFilenameBlock(resource.directory);
}

String GetResourceString(int32_t id) {
  if (g_moduleResource.handle != nullptr && t_C4DOS_Lr != nullptr) {
    return String::Borrow(t_C4DOS_Lr->getString(g_moduleResource.handle, id));
  }
  if (framework::g_hostRecord == nullptr || t_C4DOS_St == nullptr) {
    return String();
  }
  return String::Borrow(t_C4DOS_St->getEmpty());
}

HostBitmap *LoadResourceImage(const String &name, double ratio) {
  if (t_C4DOS_Bm == nullptr) {
    return nullptr;
  }
  HostBitmap *bitmap = t_C4DOS_Bm->create();
  if (bitmap == nullptr) {
    return nullptr;
  }
  const Filename path = GetResourceDirectory().Join(name);
  if (path.Get() == nullptr || t_C4DOS_Bm->loadFile(bitmap, path.Get(), -1, nullptr) != IMAGERESULT_OK) {
    t_C4DOS_Bm->destroy(bitmap);
    return nullptr;
  }
  t_C4DOS_Bm->setData(bitmap, BITMAP_PROPERTY_PIXEL_RATIO, HOST_DATATYPE_FLOAT, &ratio);
  return bitmap;
}

}  // namespace kwantel
