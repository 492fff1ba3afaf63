// Timing: the seconds this thread spends running a piece of work, in user
// and kernel mode (page faults included), and the fastest of a few runs.
// Other programs on a busy machine take the processor away for whole slices
// of time; the thread's own clock stops meanwhile, so its figures and their
// ratios hold up where the wall clock's do not.
#pragma once

#include <time.h>

#include <algorithm>
#include <limits>

namespace bench {

inline double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

template <class Run>
double SecondsOf(Run &&run) {
  const double start = ThreadSeconds();
  run();
  return ThreadSeconds() - start;
}

// prepare() runs untimed before each timed run().
template <class Prepare, class Run>
double Fastest(int repeats, Prepare &&prepare, Run &&run) {
  double best = std::numeric_limits<double>::infinity();
  for (int i = 0; i < repeats; ++i) {
    prepare();
    best = std::min(best, SecondsOf(run));
  }
  return best;
}

template <class Run>
double Fastest(int repeats, Run &&run) {
  return Fastest(
      repeats, [] {}, run);
}

}  // namespace bench
