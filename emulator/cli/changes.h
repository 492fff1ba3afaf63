// What a run did to the scene, found by comparing the scene as read with the
// document at the end: the short summary printed on stderr and the
// before/after table of `hostemu round --table`.
#pragma once

#include "console.h"
#include "document.h"
#include "scene.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace hostemu::cli {

struct LargestChange {
  double amount = 0.0;  // absolute; degrees for rotations
  const HostObject *object = nullptr;
};

// Why an object's size was left as it was.
enum class SkipReason { notPointObject, pointsNotAccessible };

struct Skipped {
  SkipReason reason;
  const HostObject *object = nullptr;
  std::string name;  // when the object is only known by the name in a console line
};

struct Changes {
  size_t objects = 0;
  size_t visited = 0;  // objects the module told the host it had changed
  size_t changedObjects = 0;
  size_t changedValues = 0;  // components of position, rotation, scale and points whose bits differ
  LargestChange position, rotation, scale, points;
  std::vector<Skipped> skipped;
};

// The document must have the scene's tree (made from it, values changed only).
Changes compareScene(const Scene &before, const Document &after);

// Visited objects whose size could not be rounded: not point objects, or
// points the host does not hand out.
void addObjectsNotSized(const Document &document, Changes &changes);
// The same from the module's console warnings, for runs whose settings are
// not known here.
void addWarnedObjects(const std::vector<ConsoleLine> &lines, Changes &changes);

void printSummary(std::FILE *out, const Changes &changes);
void printTable(std::FILE *out, const Scene &before, const Document &after);

}  // namespace hostemu::cli
