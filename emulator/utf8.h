// Text a module hands over may be any bytes; the console and the journal
// are written as JSON, which must be UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace hostemu {

// text with every byte that is not part of a well-formed UTF-8 sequence
// replaced by U+FFFD; valid text comes back unchanged.
std::string validUtf8(std::string_view text);

}  // namespace hostemu
