// Scene numbers are written by a formatter of our own, which must give the
// text std::to_chars gives, character for character.
#include "number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

uint64_t BitsOf(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void ExpectAsToChars(double value) {
  char want[64];
  char got[hostemu::kShortestTextRoom];
  const std::string expected(want, std::to_chars(want, want + sizeof want, value).ptr);
  const std::string written(got, hostemu::writeShortest(got, value));
  ASSERT_EQ(written, expected) << "bits 0x" << std::hex << BitsOf(value);
}

TEST(NumberText, WritesWhatToCharsWrites) {
  constexpr double kMax = std::numeric_limits<double>::max();
  constexpr double kMin = std::numeric_limits<double>::min();
  constexpr double kTrue = std::numeric_limits<double>::denorm_min();
  // Where fixed and scientific are as long, where one digit more or fewer
  // tips the choice, whole numbers written exactly, digits rounding up to a
  // power of ten, the ends of the range, powers of two.
  for (double value : {0.0,
                       -0.0,
                       1.0,
                       -1.0,
                       0.1,
                       0.3,
                       1.5,
                       100.0,
                       123456.0,
                       1e15,
                       1e16,
                       1e17,
                       1e21,
                       1e22,
                       1e23,
                       1.5e22,
                       0.001,
                       0.0001,
                       1e-5,
                       0.000123,
                       9007199254740993.0,
                       99999999999999984.0,
                       18446744073709551615.0,
                       0.30000000000000004,
                       9.999999999999999e22,
                       kTrue,
                       kMin,
                       kMax,
                       -kMax,
                       0x1p-1000,
                       0x1p1000}) {
    ExpectAsToChars(value);
  }
  for (int e = -325; e <= 309; ++e) {
    const double power = std::pow(10.0, e);
    for (double value : {power, std::nextafter(power, 0.0), std::nextafter(power, kMax), -3.7 * power})
      ExpectAsToChars(value);
  }
  // Every kind of bit pattern, every exponent near 1, and values such as a
  // scene holds.
  std::mt19937_64 random(42);
  for (int i = 0; i < 1'000'000; ++i) {
    uint64_t bits = random();
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value))
      ExpectAsToChars(value);
    bits = (bits & 0x800f'ffff'ffff'ffffu) | (static_cast<uint64_t>(1023 + static_cast<int>(bits % 141) - 70) << 52);
    std::memcpy(&value, &bits, sizeof value);
    ExpectAsToChars(value);
    ExpectAsToChars(std::uniform_real_distribution<double>(-1000.0, 1000.0)(random));
    ExpectAsToChars(std::round(std::uniform_real_distribution<double>(-1e6, 1e6)(random)) / 1000.0);
  }
}

}  // namespace
