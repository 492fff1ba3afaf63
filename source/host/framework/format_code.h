// Four-character codes as the host takes them: a 32-bit integer with the first
// character in the most significant byte.
#pragma once

#include <stdint.h>

namespace framework {

constexpr int32_t FourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(code[3])));
}

// Number field formats.
inline constexpr int32_t FORMAT_METER = FourCharCode("fmet");   // a length
inline constexpr int32_t FORMAT_DEGREE = FourCharCode("fdgr");  // an angle, shown in degrees
inline constexpr int32_t FORMAT_REAL = FourCharCode("frea");    // a plain number

static_assert(FORMAT_METER == 0x666D6574 && FORMAT_DEGREE == 0x66646772 && FORMAT_REAL == 0x66726561);

}  // namespace framework
