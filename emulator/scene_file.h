// Reading and writing scene files (JSON).
//
// Numbers come back to the same bits they were written with: the shortest
// text that reads back exactly, -0.0 kept, and NaN and the infinities as the
// strings "NaN", "Infinity" and "-Infinity". A faulty file is reported as one
// line naming the file and the place in it, as a path like
// objects[2].children[0].points[5].
#pragma once

#include "file_replace.h"
#include "scene.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hostemu {

enum class SceneProblem {
  unreadable,      // the file cannot be opened or read
  malformedJson,   // not JSON at all
  wrongType,       // a field holds the wrong kind of value
  unknownType,     // "type" is neither "null" nor "polygon"
  badVector,       // position, rotation, scale or bbox_center is not three numbers
  badPoint,        // a point is not three numbers
  duplicateField,  // the same key twice in one object
  pointsOnNull,    // points given for an object that is not a point object
  tooDeep,         // an unknown field nested deeper than kMaxUnknownFieldDepth
};

// Unknown fields are kept as JSON values, written back by the JSON library,
// which recurses; this bounds the depth it has to handle.
inline constexpr size_t kMaxUnknownFieldDepth = 256;

struct SceneError {
  SceneProblem problem = SceneProblem::malformedJson;
  std::string path;     // where in the file, e.g. objects[2].points[5]; empty for the whole file
  std::string message;  // one line: file, place, what is wrong
};

struct SceneRead {
  Scene scene;
  std::optional<SceneError> error;  // when set, scene is incomplete and must not be used
  size_t unknownFields = 0;         // fields kept as read because they mean nothing here
  std::string firstUnknownField;    // path of the first of them
};

// source names the text in messages (usually the file's path).
SceneRead parseScene(std::string_view text, std::string_view source);
// What parseScene does with a large text: up to parts parts, each cut
// between two top-level objects, read on threads of their own and joined.
// The same result as a reading in one part, which it falls back to when a
// cut is not between top-level objects or a part has a fault.
SceneRead parseSceneInParts(std::string_view text, std::string_view source, size_t parts);
SceneRead readSceneFile(const std::filesystem::path &file);

// The scene as a file's content; a large scene is formatted on all cores.
std::string formatScene(const Scene &scene);
// The same content handed to write a piece at a time, in order, as it is
// formatted, so that a large scene is never held whole as text. Stops when
// write returns false.
void formatScene(const Scene &scene, const ContentWriter &write);

// Replaces file with the scene, atomically: on failure the file is as it was.
// Empty when done; otherwise one line saying what failed.
std::string writeSceneFile(const std::filesystem::path &file, const Scene &scene);

// Shortest text that reads back to the same double, always with a '.' or an
// exponent so that it reads as a float ("1.0", "-0.0", "1e+300"); NaN and the
// infinities as quoted strings. Appends to out.
void appendSceneNumber(std::string &out, double value);

}  // namespace hostemu
