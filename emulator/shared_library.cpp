#include "shared_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hostemu {

#ifdef _WIN32

bool SharedLibrary::open(const std::filesystem::path &file) {
  close();
  handle_ = reinterpret_cast<void *>(LoadLibraryW(file.c_str()));
  error_ = handle_ ? std::string() : "the system cannot load it (error " + std::to_string(GetLastError()) + ")";
  return handle_ != nullptr;
}

void *SharedLibrary::symbol(const char *name) const {
  if (handle_ == nullptr)
    return nullptr;
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void SharedLibrary::close() {
  if (handle_ != nullptr)
    FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

#else

bool SharedLibrary::open(const std::filesystem::path &file) {
  close();
  // Bound at once, so that a missing symbol shows here and not in mid-run.
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char *reason = handle_ ? nullptr : dlerror();
  error_ = reason ? reason : std::string();
  return handle_ != nullptr;
}

void *SharedLibrary::symbol(const char *name) const {
  if (handle_ == nullptr)
    return nullptr;
  return dlsym(handle_, name);
}

void SharedLibrary::close() {
  if (handle_ != nullptr)
    dlclose(handle_);
  handle_ = nullptr;
}

#endif

}  // namespace hostemu
