#include "rounding.h"

#include "host/framework/console.h"
#include "host/framework/host_string.h"
#include "host/framework/host_tables.h"
#include "point_scaling.h"

namespace kwantel {
namespace {

using framework::String;

double Snap(double scaled, int32_t mode) {
  switch (mode) {
    case NEAREST:
      return __builtin_round(scaled);
    case LOWEST:
      return __builtin_floor(scaled);
    case HIGHEST:
      return __builtin_ceil(scaled);
    default:
      return scaled;
  }
}

// A zero, infinite, NaN or negative factor comes from a step of zero, NaN,
// infinity or below zero: rounding with it would corrupt the value.
bool IsUsableFactor(double factor) {
  return __builtin_isfinite(factor) && factor > 0.0;
}

// The services a rounding pass calls; a host that lacks one got the binding
// diagnostic already.
bool HostCanRound() {
  return t_C4DOS_Bo != nullptr && t_C4DOS_Bd != nullptr && t_C4DOS_At != nullptr && t_C4DOS_Ge != nullptr;
}

void Warn(const RoundSettings &settings, HostObject *object, const char *suffix) {
  if (!settings.warnings) {
    return;
  }
  const String name = String::Adopt(t_C4DOS_Bo->getName(object));
  KWANTEL_CONSOLE_WRITE(String::Literal("Object ") + name + String::Literal(suffix));
}

// Rounding a value near the largest double can overflow to infinity. Such a
// result is not written: nothing finite may turn infinite or NaN.
bool StaysFinite(const Vector &before, const Vector &after) {
  return (__builtin_isfinite(after.x) || !__builtin_isfinite(before.x)) &&
         (__builtin_isfinite(after.y) || !__builtin_isfinite(before.y)) &&
         (__builtin_isfinite(after.z) || !__builtin_isfinite(before.z));
}

void AddChangeUndo(HostDocument *document, HostObject *object) {
  t_C4DOS_Bd->addUndo(document, UNDOTYPE_CHANGE, object, false);
}

void RoundPosition(const RoundSettings &settings, HostDocument *document, HostObject *object) {
  Vector value{};
  t_C4DOS_Bo->getRelPos(object, &value);
  const Vector original = value;
  QuantizeVector(value, settings.positionFactor, settings.positionMode);
  if (!StaysFinite(original, value)) {
    return;
  }
  AddChangeUndo(document, object);
  t_C4DOS_Bo->setRelPos(object, &value);
}

void RoundRotation(const RoundSettings &settings, HostDocument *document, HostObject *object) {
  Vector value{};
  t_C4DOS_Bo->getRelRot(object, &value);
  const Vector original = value;
  VectorToDegrees(value);
  QuantizeVector(value, settings.rotationFactor, settings.rotationMode);
  VectorToRadians(value);
  if (!StaysFinite(original, value)) {
    return;
  }
  AddChangeUndo(document, object);
  t_C4DOS_Bo->setRelRot(object, &value);
}

void RoundScale(const RoundSettings &settings, HostDocument *document, HostObject *object) {
  Vector value{};
  t_C4DOS_Bo->getRelScale(object, &value);
  const Vector original = value;
  QuantizeVector(value, settings.scaleFactor, settings.sizeMode);
  if (!StaysFinite(original, value)) {
    return;
  }
  AddChangeUndo(document, object);
  t_C4DOS_Bo->setRelScale(object, &value);
}

}  // namespace

Vector QuantizeVector(Vector &v, double factor, int32_t mode) {
  const Vector snapped = {Snap(v.x * factor, mode), Snap(v.y * factor, mode), Snap(v.z * factor, mode)};
  // The snapped multiple times the reciprocal of the factor, never divided by
  // the factor: the two can differ in the last bit.
  const double inverse = factor == 0.0 ? 0.0 : 1.0 / factor;
  v = {snapped.x * inverse, snapped.y * inverse, snapped.z * inverse};
  return v;
}

Vector VectorToDegrees(Vector &v) {
  v = {v.x * DEGREES_PER_RADIAN, v.y * DEGREES_PER_RADIAN, v.z * DEGREES_PER_RADIAN};
  return v;
}

Vector VectorToRadians(Vector &v) {
  v = {v.x * RADIANS_PER_DEGREE, v.y * RADIANS_PER_DEGREE, v.z * RADIANS_PER_DEGREE};
  return v;
}

void RoundObject(const RoundSettings &settings, HostDocument *document, HostObject *object) {
  if (object == nullptr || !HostCanRound()) {
    return;
  }
  if (settings.roundPosition && IsUsableFactor(settings.positionFactor)) {
    RoundPosition(settings, document, object);
  }
  if (settings.roundRotation && IsUsableFactor(settings.rotationFactor)) {
    RoundRotation(settings, document, object);
  }
  if (settings.roundScale) {
    if (settings.target == SCALE) {
      if (IsUsableFactor(settings.scaleFactor)) {
        RoundScale(settings, document, object);
      }
    } else {
      RoundSizeByPoints(settings, document, object);
    }
  }
  t_C4DOS_Bo->message(object, MSG_UPDATE_CODE, nullptr);
}

bool RoundSizeByPoints(const RoundSettings &settings, HostDocument *document, HostObject *object) {
  if (object == nullptr || !HostCanRound()) {
    return false;
  }
  if (!t_C4DOS_Bo->isInstanceOf(object, POINT_OBJECT_TYPE)) {
    Warn(settings, object, " is not a point object");
    return false;
  }
  Vector *points = static_cast<Vector *>(t_C4DOS_Bo->getTagDataW(object, POINT_TAG_TYPE, 0));
  if (points == nullptr) {
    Warn(settings, object, " has points but the points not accessible");
    return false;
  }
  if (!IsUsableFactor(settings.sizeFactor)) {
    return false;
  }

  Vector centre{};
  t_C4DOS_Bo->getMp(object, &centre);
  const int32_t count = t_C4DOS_Bo->getTagDataCount(object, POINT_TAG_TYPE);

  const Vector half = HalfExtents(points, count, centre);

  Vector size = {half.x + half.x, half.y + half.y, half.z + half.z};
  QuantizeVector(size, settings.sizeFactor, settings.sizeMode);
  const Vector growth = {0.5 * size.x - half.x, 0.5 * size.y - half.y, 0.5 * size.z - half.z};
  if (count > 0 && !(StaysFinite(half, size) && StaysFinite(half, growth))) {
    return false;
  }

  AddChangeUndo(document, object);
  // An axis on which every point shares one coordinate goes to the centre.
  ScalePointsAboutCentre(points, count, centre, half, growth);
  return true;
}

HostObject *NextInHierarchy(HostObject *object) {
  if (HostObject *child = t_C4DOS_Bo->getDown(object)) {
    return child;
  }
  while (t_C4DOS_Bo->getNext(object) == nullptr && t_C4DOS_Bo->getUp(object) != nullptr) {
    object = t_C4DOS_Bo->getUp(object);
  }
  return t_C4DOS_Bo->getNext(object);
}

HostObject *NextInSubtree(HostObject *object, HostObject *root) {
  if (HostObject *child = t_C4DOS_Bo->getDown(object)) {
    return child;
  }
  while (t_C4DOS_Bo->getNext(object) == nullptr && t_C4DOS_Bo->getUp(object) != nullptr) {
    if (object == root) {
      return nullptr;
    }
    object = t_C4DOS_Bo->getUp(object);
  }
  return object == root ? nullptr : t_C4DOS_Bo->getNext(object);
}

void RoundObjectsInDocument(const RoundSettings &settings, HostDocument *document) {
  if (document == nullptr || !HostCanRound()) {
    return;
  }
  HostObjectArray *selection = t_C4DOS_At->create();
  if (selection == nullptr) {
    return;
  }
  t_C4DOS_Bd->startUndo(document);

  if (settings.scope == ALL_OBJECTS) {
    for (HostObject *o = t_C4DOS_Bd->getFirstObject(document); o != nullptr; o = NextInHierarchy(o)) {
      RoundObject(settings, document, o);
    }
  } else {
    const bool withChildren = settings.scope == SELECTED_AND_CHILDREN;
    t_C4DOS_Bd->getActiveObjects(document, selection,
                                 withChildren ? GETACTIVEOBJECTFLAGS_NONE : GETACTIVEOBJECTFLAGS_CHILDREN);
    const int32_t count = t_C4DOS_At->getCount(selection);
    for (int32_t i = 0; i < count; ++i) {
      HostObject *root = t_C4DOS_At->getIndex(selection, i);
      if (!withChildren) {
        RoundObject(settings, document, root);
        continue;
      }
      for (HostObject *o = root; o != nullptr; o = NextInSubtree(o, root)) {
        RoundObject(settings, document, o);
      }
    }
  }

  t_C4DOS_Ge->postEvent(EVENT_FORCEREDRAW);
  t_C4DOS_Bd->endUndo(document);
  t_C4DOS_At->destroy(selection);
}

}  // namespace kwantel
