// Placeholder, replaced by the real document.
#pragma once

namespace hostemu {

class Document {};

}  // namespace hostemu
