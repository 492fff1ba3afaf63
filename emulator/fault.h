// Faults of a module: a call that breaks a service's contract (a block freed
// twice, a null object). The host cannot go on safely, so it says what
// happened on stderr and stops the process.
#pragma once

#include <string_view>

namespace hostemu {

[[noreturn]] void moduleFault(std::string_view service, std::string_view what);

}  // namespace hostemu
