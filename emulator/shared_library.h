// Loading a shared library and finding its symbols: dlopen and dlsym on
// POSIX, LoadLibrary and GetProcAddress on Windows. The only code of the
// loader that differs between them.
#pragma once

#include <filesystem>
#include <string>

namespace hostemu {

class SharedLibrary {
 public:
  SharedLibrary() = default;
  ~SharedLibrary() { close(); }
  SharedLibrary(const SharedLibrary &) = delete;
  SharedLibrary &operator=(const SharedLibrary &) = delete;

  // False, with error() saying why, when the file is not a library the
  // system can load.
  bool open(const std::filesystem::path &file);
  // Null when the library does not export name.
  void *symbol(const char *name) const;
  void close();

  bool isOpen() const { return handle_ != nullptr; }
  const std::string &error() const { return error_; }

 private:
  void *handle_ = nullptr;
  std::string error_;
};

}  // namespace hostemu
