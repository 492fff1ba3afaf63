#ifdef _WIN32

#include "program_location.h"

#include <windows.h>

#include <vector>

namespace hostemu::cli {

std::filesystem::path programFile() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0)
      return {};
    if (length < buffer.size())
      return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::filesystem::path defaultModuleRelativeToProgram() {
  return "../windows/kwantel/kwantel.xdl64";
}

}  // namespace hostemu::cli

#endif
