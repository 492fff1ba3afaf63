#include "fault.h"

#include <cstdio>
#include <cstdlib>

namespace hostemu {

void moduleFault(std::string_view service, std::string_view what) {
  std::fprintf(stderr, "hostemu: module fault in %.*s: %.*s\n", static_cast<int>(service.size()), service.data(),
               static_cast<int>(what.size()), what.data());
  std::fflush(stderr);
  std::abort();
}

}  // namespace hostemu
