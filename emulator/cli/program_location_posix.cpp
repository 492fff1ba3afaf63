#ifndef _WIN32

#include "program_location.h"

#include <system_error>

namespace hostemu::cli {

std::filesystem::path programFile() {
  std::error_code error;
  std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : file;
}

std::filesystem::path defaultModuleRelativeToProgram() {
  return "../linux/kwantel/kwantel.so";
}

}  // namespace hostemu::cli

#endif
