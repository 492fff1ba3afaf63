// The resident memory of this process, as the kernel counts it.
#pragma once

#include <cstdint>

namespace bench {

struct ResidentMemory {
  uint64_t now = 0;   // VmRSS, bytes
  uint64_t peak = 0;  // VmHWM, bytes: the most since start or the last reset
};

ResidentMemory ReadResidentMemory();

// Starts the peak over from what is resident now; false when the kernel does
// not offer it (the peak then still counts from the start of the process).
bool ResetResidentPeak();

}  // namespace bench
