// Host file names as the emulator keeps them.
#pragma once

#include "host_types.h"

#include <filesystem>

struct HostFilename {
  std::filesystem::path path;
};
