#include "point_scaling.h"

#include <float.h>

namespace kwantel {
namespace {

// How far ahead of the walk its memory is asked for: about 8 KB, enough to
// keep the memory busy; the hardware's own prefetching alone leaves a walk
// well below memory speed. A hint only: nothing is computed differently.
// Written out in each loop: a helper around the hint counts as free of side
// effects, and the compiler drops the call.
constexpr int32_t PREFETCH_POINTS = 340;

void KeepGreater(double &greatest, double candidate) {
  if (candidate > greatest) {
    greatest = candidate;
  }
}

// Two coordinates in one register. The walk goes two points at a time: six
// coordinates, x y | z x | y z, in three registers. Every lane does exactly
// the operations a single coordinate would, in the same order, so each
// result keeps its bits; only the divisions run two at once. aligned(8): a
// pair may start at any coordinate.
typedef double Lanes __attribute__((vector_size(16), aligned(8)));
typedef int64_t LaneBits __attribute__((vector_size(16), aligned(8)));

double Axis(const HostVector &v, int axis) {
  return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

double ScaleCoordinate(double coordinate, double c, double h, double g) {
  const double d = coordinate - c;
  return h == 0.0 ? c + 0.0 : c + (d + (d / h) * g);
}

// What one register's two axes need, fixed for the whole walk.
struct LanePair {
  Lanes centre;
  Lanes divisor;  // the half extent; 1.0 on an axis without extent, whose result is replaced
  Lanes growth;
  Lanes flat;       // c + 0.0, the result on an axis without extent
  LaneBits isFlat;  // all ones on an axis without extent
};

LanePair MakeLanePair(const HostVector &centre, const HostVector &half, const HostVector &growth, int first,
                      int second) {
  LanePair lanes;
  lanes.centre = Lanes{Axis(centre, first), Axis(centre, second)};
  const double h0 = Axis(half, first);
  const double h1 = Axis(half, second);
  lanes.divisor = Lanes{h0 == 0.0 ? 1.0 : h0, h1 == 0.0 ? 1.0 : h1};
  lanes.growth = Lanes{Axis(growth, first), Axis(growth, second)};
  lanes.flat = lanes.centre + 0.0;
  lanes.isFlat = LaneBits{h0 == 0.0 ? -1 : 0, h1 == 0.0 ? -1 : 0};
  return lanes;
}

void ScaleLanes(unsigned char *coordinates, const LanePair &lanes) {
  Lanes p;
  __builtin_memcpy(&p, coordinates, sizeof p);
  const Lanes d = p - lanes.centre;
  const Lanes scaled = lanes.centre + (d + (d / lanes.divisor) * lanes.growth);
  LaneBits result;
  LaneBits flat;
  __builtin_memcpy(&result, &scaled, sizeof result);
  __builtin_memcpy(&flat, &lanes.flat, sizeof flat);
  result = (result & ~lanes.isFlat) | (flat & lanes.isFlat);
  __builtin_memcpy(coordinates, &result, sizeof result);
}

}  // namespace

HostVector HalfExtents(const HostVector *points, int32_t count, const HostVector &centre) {
  HostVector half = {-DBL_MAX, -DBL_MAX, -DBL_MAX};
  for (int32_t i = 0; i < count; ++i) {
    if ((i & 1) == 0 && i < count - PREFETCH_POINTS) {
      __builtin_prefetch(points + i + PREFETCH_POINTS, 0);
    }
    KeepGreater(half.x, points[i].x - centre.x);
    KeepGreater(half.y, points[i].y - centre.y);
    KeepGreater(half.z, points[i].z - centre.z);
  }
  return half;
}

void ScalePointsAboutCentre(HostVector *points, int32_t count, const HostVector &centre, const HostVector &half,
                            const HostVector &growth) {
  const LanePair xy = MakeLanePair(centre, half, growth, 0, 1);
  const LanePair zx = MakeLanePair(centre, half, growth, 2, 0);
  const LanePair yz = MakeLanePair(centre, half, growth, 1, 2);
  int32_t i = 0;
  for (; i + 1 < count; i += 2) {
    if (i < count - PREFETCH_POINTS) {
      __builtin_prefetch(points + i + PREFETCH_POINTS, 1);
    }
    unsigned char *pair = reinterpret_cast<unsigned char *>(points + i);
    ScaleLanes(pair, xy);
    ScaleLanes(pair + sizeof(Lanes), zx);
    ScaleLanes(pair + 2 * sizeof(Lanes), yz);
  }
  if (i < count) {
    HostVector &p = points[i];
    p.x = ScaleCoordinate(p.x, centre.x, half.x, growth.x);
    p.y = ScaleCoordinate(p.y, centre.y, half.y, growth.y);
    p.z = ScaleCoordinate(p.z, centre.z, half.z, growth.z);
  }
}

}  // namespace kwantel
