// `hostemu run`: the application with the module loaded, worked by a script
// of user actions.
#pragma once

#include "actions.h"
#include "session.h"

#include <vector>

namespace hostemu::cli {

struct RunOptions {
  SessionOptions session;
  OutputFiles outputs;
  std::vector<Action> actions;
};

// The exit status; what went wrong is printed on stderr.
int runCommand(const RunOptions &options);

}  // namespace hostemu::cli
