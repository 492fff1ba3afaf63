// A scene file as data: the objects of a document with their values, points
// and selection, plus whatever else the file held, so that writing a scene
// back gives the user's file with only the changed values changed.
//
// Objects are kept flat, in the pre-order of the tree (an object, then its
// children's subtrees in order), each with the index of its parent. Nothing
// that walks a scene recurses, so no depth of nesting can exhaust the stack.
#pragma once

#include "host_types.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hostemu {

// The host's own vector, so that points move between a scene and a document
// without a copy.
using SceneVector = HostVector;

enum class SceneObjectType : uint8_t {
  null,     // no points, not a point object
  polygon,  // a point object
};

// The fields of a scene object, in the order they are written when the input
// did not give an order.
enum class SceneField : uint8_t {
  name,
  type,
  selected,
  position,
  rotation,
  scale,
  bboxCenter,
  pointsLocked,
  points,
  children,
};
inline constexpr int kSceneFieldCount = 10;

// The field's key in the file ("bbox_center" for bboxCenter).
const char *sceneFieldKey(SceneField field);
// The field a key names; none for a key this program does not know.
std::optional<SceneField> sceneFieldOfKey(std::string_view key);

// A field this program does not know, kept as it was read.
struct SceneExtra {
  std::string key;
  nlohmann::json value;
  uint8_t afterFields = 0;  // how many known fields precede it in the file
};

inline constexpr size_t kNoParent = static_cast<size_t>(-1);

struct SceneObject {
  std::string name;
  SceneObjectType type = SceneObjectType::null;
  bool selected = false;
  bool pointsLocked = false;  // the host does not hand the points out
  SceneVector position{0.0, 0.0, 0.0};
  SceneVector rotation{0.0, 0.0, 0.0};  // radians
  SceneVector scale{1.0, 1.0, 1.0};
  std::optional<SceneVector> bboxCenter;  // (default: centre of the points' bounding box)
  std::vector<SceneVector> points;
  size_t parent = kNoParent;  // index in Scene::objects

  // The known fields the file gave, in its order; the rest are written only
  // when they differ from their default.
  std::array<SceneField, kSceneFieldCount> fieldOrder{};
  uint8_t fieldCount = 0;
  std::vector<SceneExtra> extras;

  bool hasField(SceneField field) const;
  void addField(SceneField field);  // once per field; the caller checks hasField
};

struct Scene {
  std::vector<SceneObject> objects;  // pre-order, see above
  bool hasObjectsKey = false;
  std::vector<SceneExtra> extras;  // top-level keys besides "objects"
};

}  // namespace hostemu
