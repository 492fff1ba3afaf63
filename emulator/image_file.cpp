#include "image_file.h"

#include "host_constants.h"
#include "tiff_decoder.h"

#include <fstream>

namespace hostemu {
namespace {

bool hasTiffSignature(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  if (!in.read(magic, sizeof magic))
    return false;
  const bool little = magic[0] == 'I' && magic[1] == 'I' && (magic[2] == 42 || magic[2] == 43) && magic[3] == 0;
  const bool big = magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && (magic[3] == 42 || magic[3] == 43);
  return little || big;
}

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

  return decodeTiff(path, bitmap);
}

}  // namespace hostemu
