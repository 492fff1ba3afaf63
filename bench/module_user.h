// The module as a user works it: the built module loaded from disk as the
// application loads it, its command picked from the menu, the dialog's
// gadgets set and "Round" pressed.
#pragma once

#include "host.h"
#include "module_loader.h"

#include <cstdint>

namespace bench {

// What the dialog is set to before "Round" is pressed. The steps and modes
// keep their defaults; the scope is "All Objects".
struct RoundChoice {
  bool position = false;
  bool rotation = false;
  bool scale = false;
  int32_t target = 0;  // ScaleTarget: 0 size, 1 scale
};

class ModuleUser {
 public:
  // Loads the module into host and opens its dialog; stops the program when
  // the module does not load or the dialog refuses a setting.
  ModuleUser(hostemu::Host &host, const RoundChoice &choice);
  ~ModuleUser();
  ModuleUser(const ModuleUser &) = delete;
  ModuleUser &operator=(const ModuleUser &) = delete;

  // Presses "Round" once on the host's active document.
  void pressRound();

 private:
  void set(int32_t id, double value);

  hostemu::Host &host_;
  hostemu::ModuleLoader loader_;
};

// Blocks, strings and object arrays the host's kernel has handed out so far.
uint64_t KernelHandedOut(hostemu::Host &host);

}  // namespace bench
