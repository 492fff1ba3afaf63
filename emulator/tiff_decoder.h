// Decoding the pixels of a TIFF file: libtiff on POSIX systems, the system's
// imaging component (WIC) on Windows, where libtiff is not at hand. Both give
// the same pixels: 8-bit RGBA, rows from the top, alpha premultiplied.
#pragma once

#include "image_file.h"

namespace hostemu {

// Larger images are refused before any pixel memory is taken; an icon is
// tiny, and a damaged header must not make the host allocate gigabytes.
inline constexpr uint32_t kMaxImageSide = 16384;

// path is a regular file that starts with a TIFF signature. bitmap is
// unchanged unless the result is IMAGERESULT_OK.
ImageLoad decodeTiff(const std::filesystem::path &path, HostBitmap &bitmap);

}  // namespace hostemu
