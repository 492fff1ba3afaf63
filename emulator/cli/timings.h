// The time each phase of a command took, printed with --timings, so that a
// user can see where a long batch run spends it.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

namespace hostemu::cli {

class Timings {
 public:
  explicit Timings(bool enabled = false) : enabled_(enabled), start_(Clock::now()) {}

  // Ends the phase that began at the previous mark (or at construction).
  void mark(const char *phase);
  // One line: "hostemu: time: read 1.20 s, ..., total 3.00 s", and the
  // processor time of the same phases, which a busy machine disturbs less.
  void print(std::FILE *out) const;

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  Clock::time_point start_;
  Clock::time_point last_ = start_;
  std::clock_t lastProcessor_ = std::clock();
  struct Phase {
    std::string name;
    double seconds;
    double processorSeconds;
  };
  std::vector<Phase> phases_;
};

}  // namespace hostemu::cli
