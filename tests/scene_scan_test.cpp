// The scanners that read the numbers of a large scene: every number must
// read to the bits from_chars gives it, and the counting that sizes the
// reading must be exact, since a wrong count would show in no value read,
// only in memory moved once more.
#include "scene_scan.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
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

// What a number in a scene reads as: from_chars's double, where an integer
// zero has no sign.
double Reference(const std::string &text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  const bool integer = text.find_first_of(".eE") == std::string::npos;
  return integer && value == 0.0 ? 0.0 : value;
}

void ExpectReadsLikeFromChars(const std::string &text) {
  const std::string line = text + ",";
  const char *p = line.data();
  double value = 0.0;
  ASSERT_TRUE(hostemu::scanNumber(p, line.data() + line.size(), value)) << text;
  EXPECT_EQ(p, line.data() + text.size()) << text;
  const double want = Reference(text);
  EXPECT_EQ(std::memcmp(&value, &want, sizeof value), 0) << text << " read as " << value << ", not " << want;
}

TEST(SceneScan, NumbersReadToTheBitsOfFromChars) {
  // Around the exact short way (up to 2^53 and 10^22) and past it.
  const char *cases[] = {
      "0", "-0", "0.0", "-0.0", "0e5", "-0e-5", "1", "-1", "0.1", "0.05", "1.50", "123456789", "9007199254740992",
      "9007199254740993", "9007199254740991.5", "18446744073709551615", "18446744073709551616",
      "12345678901234567890123", "1e22", "1e23", "1e-22", "1e-23", "4.35e21", "8.5e-22", "0.000000000000000000000001",
      "2.2250738585072014e-308", "4.9406564584124654e-324", "1.7976931348623157e308", "1E+2", "3.14159265358979323846",
      "-38.60917239841223", "99.99999999999999", "0.30000000000000004", "1e0000000000005",
      // Digits read eight at a time, runs cut short by a point, an exponent
      // or the end, and 19 and 20 significant digits.
      "0.12345678", "0.123456789", "1.2345678e5", "12345678.5", "123456789012.25", "-0.00000000123456789012",
      "1234567890123456789", "12345678901234567890", "0.1234567890123456789012345", "99999999.99999999",
      // 17 digits and more: read through a 190-bit product, near its limits.
      "12345678901234567e-292", "12345678901234567e-293", "1e-292", "9.8765432109876543e307", "1.7976931348623158e308",
      "2.2250738585072011e-308", "2.2250738585072014e-308", "4.4501477170144023e-308", "9007199254740993e-5",
      "123456789012345678e3"};
  for (const char *text : cases)
    ExpectReadsLikeFromChars(text);

  // Shortest texts of random doubles of every size, and random digits with
  // random exponents.
  std::mt19937_64 random(20261211);
  for (int i = 0; i < 200'000; ++i) {
    uint64_t bits = random();
    double number = 0.0;
    std::memcpy(&number, &bits, sizeof number);
    if (i % 2 == 0)
      number = std::uniform_real_distribution<double>(-1000.0, 1000.0)(random);
    if (!std::isfinite(number))
      continue;
    char text[64];
    ExpectReadsLikeFromChars(std::string(text, std::to_chars(text, text + sizeof text, number).ptr));
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) about string
    // insert and operator+.
    const std::string all = std::to_string(random() % 100'000'000'000'000'000ULL);
    const size_t point = 1 + random() % all.size();
    std::string digits;
    if (random() % 2 == 0)
      digits += '-';
    digits.append(all, 0, point);
    digits += '.';
    digits.append(all, point, std::string::npos);
    if (digits.back() == '.')
      digits += '0';
    if (random() % 3 == 0) {
      digits += 'e';
      digits += std::to_string(static_cast<int>(random() % 60) - 30);
    }
    ExpectReadsLikeFromChars(digits);
  }
}

TEST(SceneScan, WhatIsNotAJsonNumberIsLeftToTheLibrary) {
  for (const char *text : {"", "-", "+1", "01", "1.", ".5", "1e", "1e+", "-.5", "1.5x", "inf", "nan", "0x10", "1e400",
                           "1.7976931348623159e308", "-1e400", "1..2", "--1"}) {
    const std::string line = std::string(text) + "]";
    const char *p = line.data();
    double value = 0.0;
    EXPECT_FALSE(hostemu::scanNumber(p, line.data() + line.size(), value)) << text;
    EXPECT_EQ(p, line.data()) << text;
  }
}

}  // namespace
