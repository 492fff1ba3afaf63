// Bit-for-bit comparison of doubles and vectors: -0.0 differs from 0.0. Any NaN
// matches any NaN, since the sign and payload of a NaN the hardware makes
// differ between processors.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

#include "host_types.h"

namespace bit_exact {

inline uint64_t Bits(double value) {
  return std::bit_cast<uint64_t>(value);
}

inline std::string Describe(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g (0x%016llx)", value, static_cast<unsigned long long>(Bits(value)));
  return text;
}

inline bool Same(double actual, double expected) {
  return Bits(actual) == Bits(expected) || (actual != actual && expected != expected);
}

inline ::testing::AssertionResult SameBits(double actual, double expected) {
  if (Same(actual, expected)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got " << Describe(actual) << ", want " << Describe(expected);
}

inline ::testing::AssertionResult SameBits(const HostVector &actual, const HostVector &expected) {
  const double got[3] = {actual.x, actual.y, actual.z};
  const double want[3] = {expected.x, expected.y, expected.z};
  for (int axis = 0; axis < 3; ++axis) {
    if (!Same(got[axis], want[axis])) {
      return ::testing::AssertionFailure()
             << "component "
             << "xyz"[axis] << ": got " << Describe(got[axis]) << ", want " << Describe(want[axis]);
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace bit_exact
