// Placeholder, replaced by the real service.
#pragma once

namespace hostemu {

class Host;

class Kernel {
 public:
  explicit Kernel(Host &host) : host_(host) {}

 private:
  [[maybe_unused]] Host &host_;
};

}  // namespace hostemu
