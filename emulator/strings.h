// Host strings as the emulator keeps them. The kernel (kernel.cpp) counts
// every live string; services use these helpers to make and read them.
#pragma once

#include "host_types.h"

#include <cstdint>
#include <string>
#include <string_view>

struct HostString {
  int64_t references = 1;
  bool cached = false;  // from getAndCacheConstString: lives until the host ends
  std::string text;
};

namespace hostemu {

// A new string with one reference, counted by the current host's kernel.
HostString *makeString(std::string_view text);
// The text of a string; empty for null.
inline std::string_view textOf(const HostString *s) {
  return s ? std::string_view(s->text) : std::string_view();
}

}  // namespace hostemu
