#include "scene.h"

namespace hostemu {

const char *sceneFieldKey(SceneField field) {
  switch (field) {
    case SceneField::name:
      return "name";
    case SceneField::type:
      return "type";
    case SceneField::selected:
      return "selected";
    case SceneField::position:
      return "position";
    case SceneField::rotation:
      return "rotation";
    case SceneField::scale:
      return "scale";
    case SceneField::bboxCenter:
      return "bbox_center";
    case SceneField::pointsLocked:
      return "points_locked";
    case SceneField::points:
      return "points";
    case SceneField::children:
      return "children";
  }
  return "";
}

std::optional<SceneField> sceneFieldOfKey(std::string_view key) {
  // Looked up once for every field of every object read.
  static const auto keys = [] {
    std::array<std::string_view, kSceneFieldCount> all;
    for (int i = 0; i < kSceneFieldCount; ++i)
      all[i] = sceneFieldKey(static_cast<SceneField>(i));
    return all;
  }();
  for (int i = 0; i < kSceneFieldCount; ++i) {
    if (key == keys[i])
      return static_cast<SceneField>(i);
  }
  return std::nullopt;
}

bool SceneObject::hasField(SceneField field) const {
  for (uint8_t i = 0; i < fieldCount; ++i) {
    if (fieldOrder[i] == field)
      return true;
  }
  return false;
}

void SceneObject::addField(SceneField field) {
  if (fieldCount < kSceneFieldCount && !hasField(field))
    fieldOrder[fieldCount++] = field;
}

}  // namespace hostemu
