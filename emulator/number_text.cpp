// Writing: the digits are found as in Schubfach (R. Giulietti, "The Schubfach way to
// render doubles"): the value and the ends of the interval of texts that
// read back to it are scaled by a 126-bit power of ten, from which the
// shortest decimal inside the interval, and of those the closest, is read.
// Zero, subnormals, powers of two (whose interval is lopsided), values
// beyond the double range and whole numbers past 2^64 are left to
// std::to_chars: they are rare in a scene.
//
// Reading: the digits times the same power of ten, to 190 bits, hold the
// value within less than 2^64 of the last bits; unless those cut through a
// rounding boundary, the top 53 bits, rounded, are the double.
#include "number_text.h"

#include "number_text_powers.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace hostemu {
namespace {

__extension__ using Uint128 = unsigned __int128;

constexpr uint64_t kMask63 = (uint64_t{1} << 63) - 1;

// floor(e log10 2) and floor(e log2 10), exact over the exponents of doubles.
int floorLog10Pow2(int e) {
  return static_cast<int>((int64_t{e} * 661'971'961'083) >> 41);
}
int floorLog2Pow10(int e) {
  return static_cast<int>((int64_t{e} * 913'124'641'741) >> 38);
}

// The power of ten g times cp, divided by 2^127, rounded down, with its
// lowest bit set when anything was rounded away.
uint64_t roundToOdd(uint64_t g1, uint64_t g0, uint64_t cp) {
  const auto x1 = static_cast<uint64_t>((static_cast<Uint128>(g0) * cp) >> 64);
  const Uint128 y = static_cast<Uint128>(g1) * cp;
  const auto y0 = static_cast<uint64_t>(y);
  const auto y1 = static_cast<uint64_t>(y >> 64);
  const uint64_t z = (y0 >> 1) + x1;
  const uint64_t vbp = y1 + (z >> 63);
  return vbp | (((z & kMask63) + kMask63) >> 63);
}

struct Decimal {
  uint64_t digits;
  int exponent;  // the value is digits * 10^exponent
};

// c * 2^q, c with its leading bit, not a power of two.
Decimal shortestDecimal(uint64_t c, int q) {
  const uint64_t even = ~c & 1;  // an even c's interval holds its ends
  const uint64_t cb = c << 2;
  const uint64_t cbl = cb - 2;
  const uint64_t cbr = cb + 2;
  const int k = floorLog10Pow2(q);
  const int h = q + floorLog2Pow10(-k) + 2;
  const uint64_t *g = kScaledPowersOfTen[-k - kPowerOfTenLow];
  const uint64_t vb = roundToOdd(g[0], g[1], cb << h);
  const uint64_t vbl = roundToOdd(g[0], g[1], cbl << h) + (1 - even);
  const uint64_t vbr = roundToOdd(g[0], g[1], cbr << h) - (1 - even);
  const uint64_t s = vb >> 2;
  const uint64_t t = s + 1;
  // The candidates are chosen among without branches: which one wins is
  // as good as random for the values of a scene.
  const uint64_t sp10 = s / 10 * 10;
  const uint64_t tp10 = sp10 + 10;
  const bool lowerTenIn = vbl <= sp10 << 2;
  const bool upperTenIn = tp10 << 2 <= vbr;
  const bool shorter = (s >= 100) & (lowerTenIn != upperTenIn);
  const bool lowerIn = vbl <= s << 2;
  const bool upperIn = t << 2 <= vbr;
  const auto away = static_cast<int64_t>(vb - ((s + t) << 1));
  const bool closerBelow = (away < 0) | ((away == 0) & ((s & 1) == 0));
  const bool takeLower = (lowerIn & !upperIn) | ((lowerIn == upperIn) & closerBelow);
  const uint64_t ten = tp10 - 10 * static_cast<uint64_t>(lowerTenIn);
  const uint64_t one = t - static_cast<uint64_t>(takeLower);
  const uint64_t mask = 0 - static_cast<uint64_t>(shorter);
  return {(ten & mask) | (one & ~mask), k};
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// value below 10^8, as exactly eight digits.
void writeEightDigits(char *out, uint32_t value) {
  const uint32_t high = value / 10000;
  const uint32_t low = value % 10000;
  std::memcpy(out, kDigitPairs + 2 * (high / 100), 2);
  std::memcpy(out + 2, kDigitPairs + 2 * (high % 100), 2);
  std::memcpy(out + 4, kDigitPairs + 2 * (low / 100), 2);
  std::memcpy(out + 6, kDigitPairs + 2 * (low % 100), 2);
}

constexpr uint64_t kPowersOfTen[] = {1,
                                     10,
                                     100,
                                     1000,
                                     10000,
                                     100000,
                                     1000000,
                                     10000000,
                                     100000000,
                                     1000000000,
                                     10000000000,
                                     100000000000,
                                     1000000000000,
                                     10000000000000,
                                     100000000000000,
                                     1000000000000000,
                                     10000000000000000,
                                     100000000000000000,
                                     1000000000000000000,
                                     10000000000000000000u};

// Decimal digits of value, which is not zero.
int digitCount(uint64_t value) {
  const int guess = ((64 - std::countl_zero(value)) * 1233) >> 12;
  return guess + (value >= kPowersOfTen[guess]);
}

// Copies a fixed 24 bytes, more than any run of digits: the buffers have
// room past the end, where later characters or nothing but spare room are.
void copyDigits(char *out, const char *digits) {
  std::memcpy(out, digits, 24);
}

}  // namespace

char *writeShortest(char *out, double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  if (biased == 0 || biased == 0x7ff || fraction == 0)
    return std::to_chars(out, out + kShortestTextRoom, value).ptr;
  const uint64_t c = fraction | (uint64_t{1} << 52);
  const int q = biased - 1075;
  char *const start = out;
  *out = '-';
  out += bits >> 63;
  const Decimal decimal = shortestDecimal(c, q);

  // All twenty digits a 64-bit number may have, in groups that do not wait
  // on each other; the number's own start where its digits do.
  // The twenty digits stand at 8 to 28, with room before them for the
  // search of trailing zeros and after them for the fixed-size copies.
  char buffer[64] = {};
  char *const twenty = buffer + 8;
  const uint64_t digits = decimal.digits;
  const uint64_t upper = digits / 100'000'000;
  writeEightDigits(twenty + 4, static_cast<uint32_t>(upper % 100'000'000));
  writeEightDigits(twenty + 12, static_cast<uint32_t>(digits % 100'000'000));
  const auto top = static_cast<uint32_t>(upper / 100'000'000);
  std::memcpy(twenty, kDigitPairs + 2 * (top / 100), 2);
  std::memcpy(twenty + 2, kDigitPairs + 2 * (top % 100), 2);
  int count = digitCount(digits);
  const char *text = twenty + 20 - count;
  int k = decimal.exponent;
  // Trailing zeros, eight digits at a time: as a little-endian word, the
  // last digit is the highest byte.
  for (;;) {
    uint64_t last = 0;
    std::memcpy(&last, text + count - 8, 8);
    last ^= 0x3030303030303030u;
    const int zeros = last == 0 ? 8 : std::countl_zero(last) / 8;
    count -= zeros;
    k += zeros;
    if (zeros < 8)
      break;
  }
  const int leading = k + count - 1;  // the power of ten of the first digit

  // As std::to_chars: the scientific form's exponent has two digits at
  // least, and the fixed form wins a tie.
  const int magnitude = leading < 0 ? -leading : leading;
  const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
  const int fixedLength = k >= 0 ? count + k : leading >= 0 ? count + 1 : count + 1 - leading;
  if (fixedLength <= scientificLength) {
    if (k > 0) {
      // A whole number that would end in zeros is written as its exact
      // value, as std::to_chars does; beyond 64 bits, by it.
      if (q < 0 || q > 11)
        return std::to_chars(start, start + kShortestTextRoom, value).ptr;
      return std::to_chars(out, out + 20, c << q).ptr;
    }
    if (leading >= 0) {
      // "ddd.ddd", or "ddd" when k is 0 and the point falls past the end.
      copyDigits(out, text);
      out[leading + 1] = '.';
      copyDigits(out + leading + 2, text + leading + 1);
      return out + count + (k < 0 ? 1 : 0);
    }
    // "0.00ddd": at most a few zeros, or the scientific form is shorter.
    std::memcpy(out, "0.000000", 8);
    copyDigits(out + 1 - leading, text);
    return out + count + 1 - leading;
  }
  out[0] = text[0];
  out[1] = '.';
  copyDigits(out + 2, text + 1);
  out += count + (count > 1 ? 1 : 0);
  *out++ = 'e';
  *out++ = leading < 0 ? '-' : '+';
  if (magnitude < 10) {
    out[0] = '0';
    out[1] = static_cast<char>('0' + magnitude);
    return out + 2;
  }
  if (magnitude < 100) {
    std::memcpy(out, kDigitPairs + 2 * magnitude, 2);
    return out + 2;
  }
  out[0] = static_cast<char>('0' + magnitude / 100);
  std::memcpy(out + 1, kDigitPairs + 2 * (magnitude % 100), 2);
  return out + 3;
}

bool readDecimal(uint64_t digits, int exponent, double &value) {
  if (digits == 0 || exponent < kPowerOfTenLow || exponent > kPowerOfTenHigh)
    return false;
  // 10^exponent = (g - d) * 2^r, 0 < d <= 1, g = g1 * 2^63 + g0.
  const uint64_t *g = kScaledPowersOfTen[exponent - kPowerOfTenLow];
  const int r = floorLog2Pow10(exponent) - 125;
  const int shift = std::countl_zero(digits);
  const uint64_t w = digits << shift;
  // p = w * g in three 64-bit limbs; the value times 2^(shift - r) lies
  // between p - 2^64 and p.
  const Uint128 high = static_cast<Uint128>(w) * g[0];  // times 2^63
  const Uint128 low = static_cast<Uint128>(w) * g[1];
  const auto high0 = static_cast<uint64_t>(high);
  const auto high1 = static_cast<uint64_t>(high >> 64);
  const Uint128 limb0 = static_cast<Uint128>(high0 << 63) + static_cast<uint64_t>(low);
  const Uint128 limb1 = static_cast<Uint128>((high0 >> 1) | (high1 << 63)) + static_cast<uint64_t>(low >> 64) +
                        static_cast<uint64_t>(limb0 >> 64);
  const auto p1 = static_cast<uint64_t>(limb1);
  const uint64_t p2 = (high1 >> 1) + static_cast<uint64_t>(limb1 >> 64);
  // The top 53 bits of p lie in p2, which holds 61 or 62.
  const int topBits = 64 - std::countl_zero(p2);
  const int cut = topBits - 53;
  uint64_t mantissa = p2 >> cut;
  const uint64_t rest = p2 & ((uint64_t{1} << cut) - 1);
  const uint64_t half = uint64_t{1} << (cut - 1);
  if (p1 == 0 && (rest == 0 || rest == half))
    return false;  // the 2^64 of doubt reaches a boundary
  mantissa += rest >= half ? 1 : 0;
  int binary = 128 + topBits - 1 + r - shift;
  if (mantissa == uint64_t{1} << 53) {
    mantissa >>= 1;
    ++binary;
  }
  if (binary < -1022 || binary > 1023)
    return false;
  const uint64_t bits = (static_cast<uint64_t>(binary + 1023) << 52) | (mantissa & ((uint64_t{1} << 52) - 1));
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

}  // namespace hostemu
