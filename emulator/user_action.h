// The answer to something the emulated user does (sets a gadget, presses a
// button, picks the command). Refusals are ids from one list, so tests check
// the id; the message is the one line shown to the user.
#pragma once

#include <string>

namespace hostemu {

enum class ActionError {
  none,
  noWindow,         // no dialog window is open
  unknownId,        // no gadget, menu item or command has the id
  disabled,         // the gadget, or a group around it, is disabled
  wrongKind,        // the action does not apply to this kind of gadget
  badValue,         // the gadget does not take this value
  keptOpen,         // the dialog refused to close
  commandDisabled,  // the command's state says it cannot be picked now
  commandFailed,    // the command answered that it failed
};

struct ActionResult {
  ActionError error = ActionError::none;
  std::string message;  // empty when done

  bool ok() const { return error == ActionError::none; }
  static ActionResult done() { return {}; }
  static ActionResult refused(ActionError error, std::string message) { return {error, std::move(message)}; }
};

}  // namespace hostemu
