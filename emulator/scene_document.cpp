#include "scene_document.h"

#include <utility>
#include <vector>

namespace hostemu {

std::unique_ptr<Document> makeDocument(const Scene &scene) {
  auto document = std::make_unique<Document>();
  // The scene lists a parent before its children, so each parent exists when
  // its children are added.
  std::vector<HostObject *> made;
  made.reserve(scene.objects.size());
  for (const SceneObject &source : scene.objects) {
    // A scene read from a file always names an earlier object as parent.
    HostObject *parent = source.parent < made.size() ? made[source.parent] : nullptr;
    ObjectKind kind = source.type == SceneObjectType::polygon ? ObjectKind::pointObject : ObjectKind::nullObject;
    HostObject &object = document->addObject(parent, source.name, kind);
    object.selected = source.selected;
    object.pointsLocked = source.pointsLocked;
    object.position = source.position;
    object.rotation = source.rotation;
    object.scale = source.scale;
    object.centerOverride = source.bboxCenter;
    object.points = source.points;
    made.push_back(&object);
  }
  return document;
}

bool takeDocumentValues(Document &document, Scene &scene) {
  // Check the shape first, so that a mismatch changes nothing.
  std::vector<HostObject *> objects;
  objects.reserve(scene.objects.size());
  for (HostObject *o = document.firstObject(); o != nullptr; o = Document::nextInTree(o)) {
    size_t index = objects.size();
    if (index >= scene.objects.size())
      return false;
    size_t parent = scene.objects[index].parent;
    if (parent != kNoParent && parent >= index)
      return false;
    const HostObject *expected = parent == kNoParent ? nullptr : objects[parent];
    if (o->parent() != expected)
      return false;
    objects.push_back(o);
  }
  if (objects.size() != scene.objects.size())
    return false;
  for (size_t i = 0; i < objects.size(); ++i) {
    HostObject &source = *objects[i];
    SceneObject &target = scene.objects[i];
    target.selected = source.selected;
    target.position = source.position;
    target.rotation = source.rotation;
    target.scale = source.scale;
    target.points = std::move(source.points);
  }
  return true;
}

}  // namespace hostemu
