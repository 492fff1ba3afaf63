// `hostemu round`: the main job in batch. Opens the dialog, sets the gadgets
// named on the command line as a user would, presses "Round" and writes the
// scene. It never calls the rounding itself: every change comes from the
// module, through the dialog.
#pragma once

#include "session.h"

#include <optional>
#include <string>

namespace hostemu::cli {

// Gadget ids of the dialog, as the user finds them.
enum GadgetId : int32_t {
  kRoundButton = 1001,
  kScope = 1003,
  kWarnings = 1004,
  kRoundPosition = 1100,
  kPositionStep = 1101,
  kPositionMode = 1102,
  kRoundRotation = 1103,
  kRotationStep = 1104,
  kRotationMode = 1105,
  kRoundScale = 1106,
  kScaleStep = 1107,
  kSizeStep = 1108,
  kSizeMode = 1109,
  kSizeOrScale = 1110,
};

// What the command line asks for; whatever is not set keeps the saved or
// default setting.
struct RoundChoices {
  std::optional<bool> position, rotation, scale, warnings;
  std::optional<std::string> positionStep, rotationStep, scaleStep, sizeStep;  // as typed
  std::optional<int32_t> positionMode, rotationMode, sizeMode, scope, target;
};

struct RoundOptions {
  SessionOptions session;
  std::filesystem::path output;
  RoundChoices choices;
  bool table = false;
};

// The exit status; what went wrong is printed on stderr.
int roundCommand(const RoundOptions &options);

}  // namespace hostemu::cli
