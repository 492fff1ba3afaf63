#include "image_file.h"

#include "host_constants.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <memory>

namespace hostemu {
namespace {

// Larger images are refused before any pixel memory is taken; an icon is
// tiny, and a damaged header must not make the host allocate gigabytes.
constexpr uint32_t kMaxSide = 16384;

bool hasTiffSignature(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  if (!in.read(magic, sizeof magic))
    return false;
  const bool little = magic[0] == 'I' && magic[1] == 'I' && (magic[2] == 42 || magic[2] == 43) && magic[3] == 0;
  const bool big = magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && (magic[3] == 42 || magic[3] == 43);
  return little || big;
}

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

ImageLoad loadImageFile(const std::filesystem::path &path, HostBitmap &bitmap) {
  std::error_code error;
  if (!std::filesystem::exists(path, error))
    return {IMAGERESULT_NOTEXISTING, path.string() + ": no such file"};
  if (!std::filesystem::is_regular_file(path, error)) {
    return {IMAGERESULT_FILEERROR, path.string() + ": not a file"};
  }
  if (!hasTiffSignature(path))
    return {IMAGERESULT_WRONGTYPE, path.string() + ": not a TIFF image"};

  std::string problem;
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions *)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), keepMessage, &problem);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), ignoreMessage, nullptr);
  std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpenExt(path.string().c_str(), "r", options.get()));
  if (!tiff)
    return {IMAGERESULT_FILEERROR, path.string() + ": " + problem};

  uint32_t width = 0, height = 0;
  if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0 || width > kMaxSide ||
      height > kMaxSide) {
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
