#include "shared_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <elf.h>

#include <fstream>
#include <vector>
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

namespace {

// The system's loader maps a library's segments without checking that the
// file holds them, and a truncated file then stops the process. What it would
// map is checked here first. Empty when the file may be handed to dlopen.
std::string checkElfFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  Elf64_Ehdr header{};
  if (!in.read(reinterpret_cast<char *>(&header), sizeof header) ||
      std::string_view(reinterpret_cast<const char *>(header.e_ident), SELFMAG) != ELFMAG) {
    return "not a shared library";
  }
  if (header.e_ident[EI_CLASS] != ELFCLASS64)
    return "not a 64-bit library";
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(file, error);
  if (error)
    return "cannot read it";
  if (header.e_phentsize != sizeof(Elf64_Phdr) || header.e_phoff > size ||
      header.e_phnum > (size - header.e_phoff) / sizeof(Elf64_Phdr)) {
    return "its program headers are cut off";
  }
  std::vector<Elf64_Phdr> segments(header.e_phnum);
  in.seekg(static_cast<std::streamoff>(header.e_phoff));
  if (!in.read(reinterpret_cast<char *>(segments.data()), std::streamsize(segments.size() * sizeof(Elf64_Phdr)))) {
    return "its program headers are cut off";
  }
  for (const Elf64_Phdr &segment : segments) {
    if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset)
      return "the file is cut off";
  }
  return {};
}

}  // namespace

bool SharedLibrary::open(const std::filesystem::path &file) {
  close();
  error_ = checkElfFile(file);
  if (!error_.empty())
    return false;
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
