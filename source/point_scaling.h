// The two walks of the size rounding over a point object's points: measuring
// the half extents about the centre, then moving the points about it. Both
// stream through arrays far larger than any cache, so both run at memory
// speed or not at all.
#pragma once

#include "host_types.h"

namespace kwantel {

// On each axis the greatest p - c over the points, in array order; a
// difference that is NaN never counts. -DBL_MAX on every axis without points.
HostVector HalfExtents(const HostVector *points, int32_t count, const HostVector &centre);

// Rewrites `count` points in place: on each axis a coordinate p becomes
// c + (d + (d / h) * g), with d = p - c, c the centre, h the half extent and
// g the growth of that axis; on an axis whose h equals 0.0 it becomes c + 0.0.
void ScalePointsAboutCentre(HostVector *points, int32_t count, const HostVector &centre, const HostVector &half,
                            const HostVector &growth);

}  // namespace kwantel
