// Running a check where it cannot hurt the validator: in a child process with
// a time limit, and on a thread with a small stack. The only code of the
// validator that differs between systems.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

// What a child process does. Where the system can fork, the child runs body.
// Where it cannot (Windows), this program is started again with arguments,
// and must then run the same body and hand its result to returnToParent().
struct ChildTask {
  std::function<std::string()> body;
  std::vector<std::string> arguments;
};

// Runs the task in a process of its own; what it writes to stderr is kept to
// name a crash, what it writes to stdout is dropped (a module's console is
// not the validator's output).
ChildOutcome runInChild(const ChildTask &task, std::chrono::milliseconds limit);

// In a program started by runInChild for its arguments: hands the body's
// result to the parent. False when this process was not started that way.
bool returnToParent(const std::string &result);

// In such a program, before the body runs: a crash ends the process at once
// with a line on stderr, instead of waiting on the system's crash reporter.
void prepareChild();

// Runs body on a new thread whose stack is stackBytes, and waits for it. False
// when the system would not make such a thread.
bool runOnSmallStack(const std::function<void()> &body, size_t stackBytes);

// The line of a child's stderr that best says why it stopped: a sanitizer's
// or the emulator's report before any other.
std::string firstErrorLine(const std::string &text);

}  // namespace hostemu::validate
