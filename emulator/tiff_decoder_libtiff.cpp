#include "host_constants.h"
#include "tiff_decoder.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace hostemu {
namespace {

// libtiff's messages go into the load's problem instead of stderr.
int keepMessage(TIFF *, void *userData, const char *module, const char *format, va_list args) {
  auto *problem = static_cast<std::string *>(userData);
  if (!problem->empty())
    return 1;
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  *problem = std::string(module ? module : "libtiff") + ": " + text;
  return 1;
}

int ignoreMessage(TIFF *, void *, const char *, const char *, va_list) {
  return 1;
}

struct TiffCloser {
  void operator()(TIFF *tiff) const { TIFFClose(tiff); }
};

}  // namespace

ImageLoad decodeTiff(const std::filesystem::path &path, HostBitmap &bitmap) {
  std::string problem;
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions *)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keepMessage, &problem);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignoreMessage, nullptr);
  std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpenExt(path.string().c_str(), "r", options.get()));
  if (!tiff)
    return {IMAGERESULT_FILEERROR, path.string() + ": " + problem};

  uint32_t width = 0, height = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0 || width > kMaxImageSide ||
      height > kMaxImageSide) {
    return {IMAGERESULT_FILEERROR, path.string() + ": image size missing or too large"};
  }
  std::vector<uint32_t> raster(size_t(width) * height);
  if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, raster.data(), ORIENTATION_TOPLEFT, 0)) {
    return {IMAGERESULT_FILEERROR, path.string() + ": " + (problem.empty() ? "cannot decode the pixels" : problem)};
  }
  bitmap.width = static_cast<int32_t>(width);
  bitmap.height = static_cast<int32_t>(height);
  bitmap.rgba.resize(raster.size() * 4);
  for (size_t i = 0; i < raster.size(); ++i) {
    bitmap.rgba[4 * i + 0] = static_cast<uint8_t>(TIFFGetR(raster[i]));
    bitmap.rgba[4 * i + 1] = static_cast<uint8_t>(TIFFGetG(raster[i]));
    bitmap.rgba[4 * i + 2] = static_cast<uint8_t>(TIFFGetB(raster[i]));
    bitmap.rgba[4 * i + 3] = static_cast<uint8_t>(TIFFGetA(raster[i]));
  }
  return {IMAGERESULT_OK, {}};
}

}  // namespace hostemu
