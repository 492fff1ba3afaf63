// The icon's decoder: libtiff on Linux, the system's imaging component (WIC)
// on Windows. Both must give the host the same bytes for the same file.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "host_constants.h"
#include "image_file.h"
#include "temp_dir.h"

namespace {

// A 2 x 2 uncompressed RGBA TIFF whose alpha is unassociated (straight), as an
// image editor saves an icon with a soft edge.
std::string StraightAlphaTiff(const std::vector<uint8_t> &rgba) {
  std::string file = "II*";
  file += '\0';
  auto put16 = [&file](uint16_t value) {
    file += static_cast<char>(value & 0xff);
    file += static_cast<char>(value >> 8);
  };
  auto put32 = [&](uint32_t value) {
    put16(static_cast<uint16_t>(value & 0xffff));
    put16(static_cast<uint16_t>(value >> 16));
  };
  constexpr uint16_t kShort = 3, kLong = 4;
  constexpr uint32_t kEntries = 11, kBitsAt = 8 + 2 + kEntries * 12 + 4, kPixelsAt = kBitsAt + 8;
  put32(8);
  put16(kEntries);
  const struct {
    uint16_t tag, type;
    uint32_t count, value;
  } entries[kEntries] = {
      {256, kShort, 1, 2},                                  // width
      {257, kShort, 1, 2},                                  // height
      {258, kShort, 4, kBitsAt},                            // 8 bits a sample
      {259, kShort, 1, 1},                                  // not compressed
      {262, kShort, 1, 2},                                  // RGB
      {273, kLong, 1, kPixelsAt},                           // the one strip
      {277, kShort, 1, 4},                                  // samples a pixel
      {278, kShort, 1, 2},                                  // rows a strip
      {279, kLong, 1, static_cast<uint32_t>(rgba.size())},  // strip bytes
      {284, kShort, 1, 1},                                  // interleaved
      {338, kShort, 1, 2},                                  // the 4th sample is straight alpha
  };
  for (const auto &entry : entries) {
    put16(entry.tag);
    put16(entry.type);
    put32(entry.count);
    if (entry.type == kShort && entry.count == 1) {
      put16(static_cast<uint16_t>(entry.value));
      put16(0);
    } else {
      put32(entry.value);
    }
  }
  put32(0);  // no further image
  for (int sample = 0; sample < 4; ++sample)
    put16(8);
  file.append(rgba.begin(), rgba.end());
  return file;
}

TEST(TiffDecoder, GivesPremultipliedPixelsRowsFromTheTop) {
  TempDir dir;
  const std::filesystem::path path = dir / "soft.tif";
  std::ofstream(path, std::ios::binary) << StraightAlphaTiff({
      200, 100, 50, 128,  // half covered
      10, 20, 30, 255,    // opaque
      90, 80, 70, 0,      // clear
      255, 255, 255, 1,   // barely there
  });
  HostBitmap bitmap;
  hostemu::ImageLoad load = hostemu::loadImageFile(path, bitmap);
  ASSERT_EQ(load.result, IMAGERESULT_OK) << load.problem;
  EXPECT_EQ(bitmap.width, 2);
  EXPECT_EQ(bitmap.height, 2);
  // Each colour times alpha, rounded: (value * alpha + 127) / 255.
  EXPECT_EQ(bitmap.rgba, (std::vector<uint8_t>{100, 50, 25, 128, 10, 20, 30, 255, 0, 0, 0, 0, 1, 1, 1, 1}));
}

TEST(TiffDecoder, RefusesATiffWithoutAnImage) {
  TempDir dir;
  const std::filesystem::path path = dir / "empty.tif";
  std::string header = StraightAlphaTiff({0, 0, 0, 0});
  header.resize(8);
  std::ofstream(path, std::ios::binary) << header;
  HostBitmap bitmap;
  bitmap.width = 7;
  EXPECT_EQ(hostemu::loadImageFile(path, bitmap).result, IMAGERESULT_FILEERROR);
  EXPECT_EQ(bitmap.width, 7) << "the bitmap is left as it was";
  EXPECT_TRUE(bitmap.rgba.empty());
}

}  // namespace
