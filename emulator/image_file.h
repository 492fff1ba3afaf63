// Decoding image files into bitmaps. The emulator reads TIFF, the format of
// the module's icon.
#pragma once

#include "bitmap.h"

#include <filesystem>
#include <string>

namespace hostemu {

struct ImageLoad {
  int32_t result = 0;   // an IMAGERESULT_* value
  std::string problem;  // why it failed, for the user; empty on success
};

// Decodes the first image of path into bitmap; bitmap is unchanged unless the
// result is IMAGERESULT_OK.
ImageLoad loadImageFile(const std::filesystem::path &path, HostBitmap &bitmap);

}  // namespace hostemu
