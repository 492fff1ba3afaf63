#include "utf8.h"

#include <cstddef>

namespace hostemu {
namespace {

// Length of the well-formed sequence that starts at text[at], 0 if none.
size_t sequenceLength(std::string_view text, size_t at) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80)
    return 1;
  size_t length = 0;
  unsigned char low = 0x80;   // bounds of the second byte, which rule out
  unsigned char high = 0xBF;  // overlong forms, surrogates and code points past U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0)
      low = 0xA0;
    if (lead == 0xED)
      high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0)
      low = 0x90;
    if (lead == 0xF4)
      high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size())
    return 0;
  if (byte(at + 1) < low || byte(at + 1) > high)
    return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80)
      return 0;
  }
  return length;
}

}  // namespace

std::string validUtf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    size_t length = sequenceLength(text, at);
    if (length == 0) {
      result += "\xEF\xBF\xBD";
      ++at;
    } else {
      result.append(text.substr(at, length));
      at += length;
    }
  }
  return result;
}

}  // namespace hostemu
