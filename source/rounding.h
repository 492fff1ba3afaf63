// The rounding arithmetic, the treatment of one object, and the walks over a
// document's objects.
#pragma once

#include "host_types.h"
#include "settings.h"

namespace kwantel {

using Vector = HostVector;

// Snaps each component of v to a whole multiple of 1 / factor in `mode`
// (RoundMode; any other value leaves the scaled component as it is). v holds
// the result afterwards as well.
Vector QuantizeVector(Vector &v, double factor, int32_t mode);

// Component-wise conversions; v holds the result afterwards as well.
Vector VectorToDegrees(Vector &v);
Vector VectorToRadians(Vector &v);

// Rounds the position, rotation and scale or size of `object` as the settings
// say, each write preceded by its undo record in `document`, then sends the
// object the update message. A quantity whose factor is not a finite positive
// number is left untouched: rounding with it could only write NaN or round
// the wrong way.
void RoundObject(const RoundSettings &settings, HostDocument *document, HostObject *object);

// Scales a point object's points about its bounding-box centre so that its
// extent on each axis becomes a multiple of the size step. False when the
// object was left unchanged.
bool RoundSizeByPoints(const RoundSettings &settings, HostDocument *document, HostObject *object);

// Pre-order walks over the object tree through the host's links, without
// recursion.
HostObject *NextInHierarchy(HostObject *object);
HostObject *NextInSubtree(HostObject *object, HostObject *root);

// One rounding pass over the objects `settings.scope` selects, as one undo
// step, followed by a redraw. Without a document or an object array from the
// host the pass does nothing.
void RoundObjectsInDocument(const RoundSettings &settings, HostDocument *document);

}  // namespace kwantel
