// Host file names as the emulator keeps them.
#pragma once

#include "host_types.h"

#include <cstdint>
#include <filesystem>

struct HostFilename {
  std::filesystem::path path;
};

namespace hostemu {

// Filenames the module created through Fn.create and has not destroyed.
uint64_t liveFilenames();

// The host's comparison of two file names: the same path once "." and ".."
// steps and a trailing separator are taken out. The file system is not asked.
bool sameFilename(const std::filesystem::path &left, const std::filesystem::path &right);

}  // namespace hostemu
