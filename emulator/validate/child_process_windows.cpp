#include "child_process.h"

#include <windows.h>

namespace hostemu::validate {

// Windows has no fork: the check runs here, and a crash ends the validator.
ChildOutcome runInChild(const std::function<std::string()> &body, std::chrono::milliseconds) {
  ChildOutcome outcome;
  outcome.result = body();
  outcome.end = ChildEnd::finished;
  return outcome;
}

namespace {

DWORD WINAPI runBody(LPVOID body) {
  (*static_cast<const std::function<void()> *>(body))();
  return 0;
}

}  // namespace

bool runOnSmallStack(const std::function<void()> &body, size_t stackBytes) {
  HANDLE thread = CreateThread(nullptr, stackBytes, runBody, const_cast<std::function<void()> *>(&body),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr)
    return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
}

}  // namespace hostemu::validate
