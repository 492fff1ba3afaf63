// The parts of the bench; each measures its figures and prints them into the
// report.
#pragma once

#include "figures.h"

#include <string>

namespace bench {

// One point object of ten million points: the module's RoundSizeByPoints and
// the whole "Round" press against a memcpy of the same points.
void SizePassBench(Report &report);

// A million null objects, flat and as a chain, position, rotation and scale
// rounded: objects visited per second, the journal off and on, and what the
// module allocates per object.
void ManyObjectsBench(Report &report);

// Peak resident memory of the size pass, measured in a fresh child process
// started as `program --memory-child`, and what the module allocates per
// point.
void MemoryBench(Report &report, const std::string &program);
// The child's side: runs the pass and prints its figures on one line.
int MemoryChild();

// `hostemu round` on a scene file of a million objects, end to end, with the
// program's own account of where the time goes.
void BatchBench(Report &report);

// One press of "Round" on the size pass's document ("size") or on the many
// objects ("flat", "chain"), untimed: for a profiler.
int ProfilePress(const char *what);

}  // namespace bench
