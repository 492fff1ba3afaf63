// Running a check where it cannot hurt the validator: in a child process with
// a time limit, and on a thread with a small stack. The only code of the
// validator that differs between systems.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace hostemu::validate {

enum class ChildEnd {
  finished,    // the body returned; result holds what it returned
  crashed,     // killed by a signal, or exited without a result
  timedOut,    // still running at the limit; it was killed
  notStarted,  // the system would not make the process
};

struct ChildOutcome {
  ChildEnd end = ChildEnd::notStarted;
  std::string result;
  std::string why;  // crashed, timedOut, notStarted: one line saying what happened
};

// Runs body in a process of its own; what body writes to stderr is kept to
// name a crash. On systems without fork the body runs in this process, with
// no limit and no protection.
ChildOutcome runInChild(const std::function<std::string()> &body, std::chrono::milliseconds limit);

// Runs body on a new thread whose stack is stackBytes, and waits for it. False
// when the system would not make such a thread.
bool runOnSmallStack(const std::function<void()> &body, size_t stackBytes);

}  // namespace hostemu::validate
