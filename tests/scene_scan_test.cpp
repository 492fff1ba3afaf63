// The counting that sizes the reading of a large scene: a wrong count would
// not show in any value read, only in memory moved once more.
#include "scene_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SceneScan, CountByteCountsEveryOccurrence) {
  // Lengths around the 32-byte lanes and the 255 rounds after which they
  // are emptied, with the byte at both ends and nothing but the byte.
  struct Case {
    std::string text;
    size_t want;
  };
  const Case cases[] = {
      {"", 0},
      {"{", 1},
      {"a{b{c", 2},
      {std::string(31, '{'), 31},
      {std::string(32, '{'), 32},
      {std::string(33, '{'), 33},
      {std::string(255 * 32, '{'), 255 * 32},
      {std::string(255 * 32 + 1, '{'), 255 * 32 + 1},
      {std::string(100'000, '{'), 100'000},
      {"{" + std::string(20'000, 'x') + "{", 2},
      {std::string(20'000, '}'), 0},
  };
  for (const Case &c : cases)
    EXPECT_EQ(hostemu::countByte(c.text, '{'), c.want) << c.text.size() << " bytes";
  // Not a lucky constant: the count depends on where the bytes are.
  std::string mixed;
  size_t want = 0;
  for (size_t i = 0; i < 50'000; ++i) {
    const bool brace = (i * 7919) % 13 < 4;
    mixed += brace ? '{' : static_cast<char>('a' + i % 26);
    want += brace;
  }
  EXPECT_EQ(hostemu::countByte(mixed, '{'), want);
  EXPECT_EQ(hostemu::countByte(std::string_view(mixed).substr(3, 40'001), '{'),
            hostemu::countByte(std::string_view(mixed).substr(0, 40'004), '{') -
                hostemu::countByte(std::string_view(mixed).substr(0, 3), '{'));
}

}  // namespace
