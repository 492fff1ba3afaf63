// Host bitmaps as the emulator keeps them: decoded pixels and properties.
#pragma once

#include "host_types.h"

#include <cstdint>
#include <vector>

struct HostBitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;  // 4 bytes a pixel, rows from the top
  double pixelRatio = 1.0;    // property BITMAP_PROPERTY_PIXEL_RATIO (default: 1.0)
};

namespace hostemu {

// Bitmaps the module created through Bm.create and has not destroyed.
uint64_t liveBitmaps();
bool isLiveBitmap(const HostBitmap *bitmap);

}  // namespace hostemu
