// Documents and scenes of the sizes the targets name, with every value off
// every grid so that each rounding really changes something.
#pragma once

#include "document.h"
#include "scene.h"

#include <cstddef>
#include <memory>

namespace bench {

inline constexpr size_t kSizePassPoints = 10'000'000;
inline constexpr size_t kManyObjects = 1'000'000;

enum class Shape {
  flat,   // every object at the top level
  chain,  // each object the only child of the one before
};

const char *ShapeName(Shape shape);

// One point object, "Points", with `points` points and nothing selected.
std::unique_ptr<hostemu::Document> PointObjectDocument(size_t points);

// `count` null objects with position, rotation and scale off the grid.
std::unique_ptr<hostemu::Document> NullObjectsDocument(size_t count, Shape shape);

// The same flat null objects as a scene, to be written to a file.
hostemu::Scene NullObjectsScene(size_t count);

// The same point object as a scene.
hostemu::Scene PointObjectScene(size_t points);

}  // namespace bench
